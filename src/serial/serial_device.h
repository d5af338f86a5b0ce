// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <string>

namespace kavrin {

// Why the last open of a device failed, as the system told it.
struct OpenError {
    enum class Kind {
        None,     // nothing failed, or nothing is known
        NotFound, // no such device
        Refused,  // no permission, or another program holds it: the system does not say which
        Other,
    };
    Kind kind = Kind::None;
    std::string text; // the system's own words
};

// One serial device as the operating system offers it.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    // Opens the device for this program alone, sets 115200 baud 8N1 with the
    // 10 ms read time-out and empties both directions. False when the device
    // does not exist, is held by another program or cannot be configured.
    virtual bool Open(const std::string& deviceName) = 0;
    // The cause of the last failed Open.
    virtual OpenError LastOpenError() const { return {}; }
    virtual void Close() = 0;
    // Queues one byte; returns within about 110 ms, the byte lost on failure.
    virtual void WriteByte(std::uint8_t byte) = 0;
    // The next received byte, or -1 when none arrived within 10 ms.
    virtual int ReadByte() = 0;
    // A byte that has already arrived, or -1 at once.
    virtual int ReadWaitingByte() = 0;
};

} // namespace kavrin
