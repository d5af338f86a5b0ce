// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "fake_clock.h"
#include "serial/port_directory.h"
#include "serial/serial_device.h"

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kavrin::test {

// A serial device fed by the test. An empty read moves the fake clock on by the
// 10 ms read time-out, as the driver would, so waits run without sleeping.
class FakeSerialDevice final : public SerialDevice {
public:
    explicit FakeSerialDevice(FakeClock* clock = nullptr) : clock_(clock) {}

    bool Open(const std::string& deviceName) override;
    OpenError LastOpenError() const override { return lastError; }
    void Close() override;
    void WriteByte(std::uint8_t byte) override;
    int ReadByte() override;
    int ReadWaitingByte() override;

    // Bytes the ECU "sends"; they reach the reader only while the device is open.
    void Feed(const std::vector<std::uint8_t>& bytes);
    std::string WrittenText() const { return std::string(written.begin(), written.end()); }
    void ClearWritten() { written.clear(); }

    std::set<std::string> missing;   // device names that fail to open
    OpenError lastError;             // a missing device is not found
    std::vector<std::string> opened; // every successful open, in order
    int closes = 0;
    bool isOpen = false;
    std::string openName;
    std::deque<std::uint8_t> incoming;
    std::vector<std::uint8_t> written;
    // Each byte that a waiting read delivers arrives this long after the read
    // starts: an ECU that trickles its bytes.
    int gapMs = 0;

private:
    FakeClock* clock_;
};

// Port n is the device "fake:n".
class FakePortDirectory final : public PortDirectory {
public:
    std::string DeviceName(std::int16_t port) override { return "fake:" + std::to_string(port); }
    std::vector<std::string> ListComPorts() override { return ports; }
    std::vector<std::string> ports{"COM1"};
};

} // namespace kavrin::test
