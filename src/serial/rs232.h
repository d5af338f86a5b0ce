// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "serial/port_diagnosis.h"
#include "serial/port_directory.h"
#include "serial/serial_device.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kavrin {

// The one serial port of the program, opened by number. Nothing waits here:
// a text is queued whole, and bytes are taken as they have arrived.
class rs232 {
public:
    // system: where a failed open is looked into further; none, only what the
    // open itself said.
    rs232(SerialDevice& device, PortDirectory& ports, const PortSystem* system = nullptr);

    void OpenComPort(std::int16_t port);
    void CloseComPort();
    // Each character's code goes out as one byte, in order; nothing while the
    // port is shut.
    void SendString(std::string_view text);
    // A byte that has already arrived, or -1 at once (also while the port is shut).
    std::int16_t ReceiveByte();
    // The open port stopped working since it was opened: the link treats it as
    // a silent one.
    bool failed() const { return portOpen_ && device_.Failed(); }

    bool portOpen() const { return portOpen_; }
    // 0 before the first open, -1 after a close or a failed open, 1 while open.
    std::int32_t handle() const { return handle_; }
    PortDirectory& ports() { return ports_; }
    // Why the last open failed; empty after an open that worked.
    PortDiagnosis WhyNotOpen(const LanguageTexts& texts) const;

private:
    bool OpenDevice(const std::string& name);

    SerialDevice& device_;
    PortDirectory& ports_;
    const PortSystem* system_;
    std::string failedDevice_;
    OpenError failure_;
    std::int32_t handle_ = 0;
    bool portOpen_ = false;
    // What the device handed over and the decoder has not taken yet.
    std::array<std::uint8_t, 4096> inbox_{};
    std::size_t inboxAt_ = 0, inboxEnd_ = 0;
};

} // namespace kavrin
