// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kavrin {

class SettingsStore;

// Which device a port number stands for, and which ports the machine has.
class PortDirectory {
public:
    virtual ~PortDirectory() = default;
    // Device to open for port n; empty when the number names no device.
    virtual std::string DeviceName(std::int16_t port) = 0;
    // "COM" + number of every known port, in the system's order.
    virtual std::vector<std::string> ListComPorts() = 0;
    // Looks at the system's devices again: they may have come or gone since.
    virtual void Refresh() {}
};

// "\\.\COM" + n, held in a field of 10 characters as the Windows device
// namespace wants it; port numbers of 1 to 3 digits fit.
std::string WindowsDeviceName(std::int16_t port);

// Port numbers from the settings section "ports" (COM7 = /dev/ttyUSB0), whose
// entries win, and the devices the system reports, which get a number by a
// fixed rule:
//   \\.\COM<k>     -> COM<k>      (Windows names its ports by number)
//   /dev/ttyS<k>   -> COM<k+1>    (k < 32)
//   /dev/ttyUSB<k> -> COM<33+k>   (k < 16)
//   /dev/ttyACM<k> -> COM<49+k>   (k < 16)
//   /dev/cu.<x> and /dev/tty.<x> (macOS's two devices of one port) -> one
//   number, for /dev/cu.<x>, which opens without waiting for the carrier; an
//   entry naming either device numbers the port
//   anything else, or a rule number an entry already uses -> the lowest free
//   number from COM65 up, in the order of the device paths.
// Numbers run to 255.
std::map<int, std::string> AssignPortNumbers(const std::map<int, std::string>& entries,
                                             std::vector<std::string> systemDevices);

// The port table: settings entries plus the devices the system reports (a
// callback, so tests can feed it). A number the table lacks names the device
// `unlisted` gives for it, or none. The table is made at the first question
// and kept until Refresh: walking the system's devices is slow, and the link
// reopens its port every few hundred milliseconds when the ECU pauses.
class SettingsPortDirectory final : public PortDirectory {
public:
    using DeviceLister = std::vector<std::string> (*)();
    using UnlistedNamer = std::string (*)(std::int16_t port);
    SettingsPortDirectory(SettingsStore& settings, DeviceLister lister,
                          UnlistedNamer unlisted = nullptr);
    std::string DeviceName(std::int16_t port) override;
    std::vector<std::string> ListComPorts() override;
    void Refresh() override;

private:
    const std::map<int, std::string>& Table();
    SettingsStore& settings_;
    DeviceLister lister_;
    UnlistedNamer unlisted_;
    std::optional<std::map<int, std::string>> table_;
};

// Serial devices the system reports (Qt's port enumeration).
std::vector<std::string> SystemSerialDevices();

// The device of a port number no listed device has: on Windows COM<n> may
// exist without being listed, so "\\.\COM<n>"; elsewhere none.
std::string UnlistedDeviceName(std::int16_t port);

} // namespace kavrin
