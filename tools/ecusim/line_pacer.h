// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <cstdint>

namespace kavrin::ecusim {

// Models the ECU's transmitter: one byte every 1/11520 s at 115200 baud 8N1.
// Bytes are handed out only once their slot on the line has begun, so no
// stretch of one second ever carries more than the line rate, however the
// caller's ticks fall. A line left idle does not bank the time it was idle.
class LinePacer {
public:
    static constexpr std::int64_t kBytesPerSecond = 11520;

    explicit LinePacer(std::int64_t startMs);

    // How many bytes may start by nowMs. Report the ones sent with Spend.
    std::size_t Allowance(std::int64_t nowMs);
    void Spend(std::size_t bytes);

private:
    // Time in units of 1/(1000 x kBytesPerSecond) s, so that one byte is 1000
    // units and one millisecond kBytesPerSecond units: no rounding drift.
    std::int64_t lineFreeAt_;
    std::int64_t lastLook_;
};

} // namespace kavrin::ecusim
