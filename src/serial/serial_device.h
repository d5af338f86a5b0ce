// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
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

// One serial device as the operating system offers it. Nothing here waits:
// bytes that arrive are kept until taken, bytes to send are queued, and a
// device that fails meanwhile says so when asked.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    // Opens the device for this program alone, sets 115200 baud 8N1 and
    // empties both directions. False when the device does not exist, is held
    // by another program or cannot be configured.
    virtual bool Open(const std::string& deviceName) = 0;
    // The cause of the last failed Open.
    virtual OpenError LastOpenError() const { return {}; }
    // Hands what is still queued to the driver, then lets the device go.
    virtual void Close() = 0;
    // Queues the bytes behind those queued before; lost when the device has failed.
    virtual void Write(std::span<const std::uint8_t> bytes) = 0;
    // Moves bytes that have already arrived into `into`, oldest first; how many.
    virtual std::size_t Read(std::span<std::uint8_t> into) = 0;
    // The open device stopped working (unplugged, no longer taking what is
    // written) since it was opened.
    virtual bool Failed() const { return false; }
};

} // namespace kavrin
