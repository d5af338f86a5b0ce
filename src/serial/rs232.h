// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "serial/port_diagnosis.h"
#include "serial/port_directory.h"
#include "serial/serial_device.h"

#include <cstdint>
#include <string_view>

namespace kavrin {

// The one serial port of the program: opened by number, one byte at a time.
class rs232 {
public:
    // system: where a failed open is looked into further; none, only what the
    // open itself said.
    rs232(SerialDevice& device, PortDirectory& ports, const PortSystem* system = nullptr);

    void OpenComPort(std::int16_t port);
    void CloseComPort();
    // Each character's code goes out as one byte; nothing while the port is shut.
    void SendString(std::string_view text);
    // The next byte, or -1 when the port is shut or nothing came within 10 ms.
    std::int16_t ReceiveByte();
    // A byte that has already arrived, or -1 at once.
    std::int16_t ReceiveWaitingByte();

    bool portOpen() const { return portOpen_; }
    // 0 before the first open, -1 after a close or a failed open, 1 while open.
    std::int32_t handle() const { return handle_; }
    PortDirectory& ports() { return ports_; }
    // Why the last open failed; empty after an open that worked.
    PortDiagnosis WhyNotOpen(const LanguageTexts& texts) const;

private:
    SerialDevice& device_;
    PortDirectory& ports_;
    const PortSystem* system_;
    std::string failedDevice_;
    OpenError failure_;
    std::int32_t handle_ = 0;
    bool portOpen_ = false;
};

} // namespace kavrin
