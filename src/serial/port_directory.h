#pragma once
#include <cstdint>
#include <map>
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
};

// "\\.\COM" + n, held in a field of 10 characters as the Windows device
// namespace wants it; port numbers of 1 to 3 digits fit.
std::string WindowsDeviceName(std::int16_t port);

// Port numbers on systems whose serial devices have no COM numbers. Entries of
// the settings section "ports" (COM7 = /dev/ttyUSB0) win; every other device the
// system reports gets a number by a fixed rule:
//   /dev/ttyS<k>   -> COM<k+1>    (k < 32)
//   /dev/ttyUSB<k> -> COM<33+k>   (k < 16)
//   /dev/ttyACM<k> -> COM<49+k>   (k < 16)
//   anything else, or a rule number an entry already uses -> the lowest free
//   number from COM65 up, in the order of the device paths.
// Numbers run to 255.
std::map<int, std::string> AssignPortNumbers(const std::map<int, std::string>& entries,
                                             std::vector<std::string> systemDevices);

// The port table on Linux and macOS: settings entries plus the devices the
// system reports (a callback, so tests and other platforms can feed it).
class SettingsPortDirectory final : public PortDirectory {
public:
    using DeviceLister = std::vector<std::string> (*)();
    SettingsPortDirectory(SettingsStore& settings, DeviceLister lister);
    std::string DeviceName(std::int16_t port) override;
    std::vector<std::string> ListComPorts() override;

private:
    std::map<int, std::string> Table();
    SettingsStore& settings_;
    DeviceLister lister_;
};

// Serial devices the system reports (Qt's port enumeration).
std::vector<std::string> SystemSerialDevices();

} // namespace kavrin
