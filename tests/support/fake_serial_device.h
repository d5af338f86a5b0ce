// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "serial/port_directory.h"
#include "serial/serial_device.h"

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

namespace kavrin::test {

// A serial device fed by the test: what it feeds has arrived, what is written
// is kept in order.
class FakeSerialDevice final : public SerialDevice {
public:
    bool Open(const std::string& deviceName) override;
    OpenError LastOpenError() const override { return lastError; }
    void Close() override { isOpen = false; }
    void Write(std::span<const std::uint8_t> bytes) override;
    std::size_t Read(std::span<std::uint8_t> into) override;
    bool Failed() const override { return failed; }

    // Bytes the ECU "sends"; they reach the reader only while the device is open.
    void Feed(const std::vector<std::uint8_t>& bytes);
    std::string WrittenText() const { return std::string(written.begin(), written.end()); }
    void ClearWritten() { written.clear(); }

    std::set<std::string> missing;   // device names that fail to open
    OpenError lastError;             // a missing device is not found
    std::vector<std::string> opened; // every successful open, in order
    bool isOpen = false;
    std::string openName;
    std::deque<std::uint8_t> incoming;
    std::vector<std::uint8_t> written;
    // The line takes nothing more: the next write fails the device, as a
    // pulled-out adapter would.
    bool refuseWrites = false;
    bool failed = false; // cleared by an open
    // Bytes one read hands over at most: with 1, what the port has not taken
    // is all still in `incoming`.
    std::size_t mostPerRead = SIZE_MAX;
};

// Port n is the device "fake:n".
class FakePortDirectory final : public PortDirectory {
public:
    std::string DeviceName(std::int16_t port) override { return "fake:" + std::to_string(port); }
    std::vector<std::string> ListComPorts() override { return ports; }
    std::vector<std::string> ports{"COM1"};
};

} // namespace kavrin::test
