// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The saturated line every benchmark measures against, and the process CPU
// time its shares of a core are taken from.
#include <ctime>

namespace kavrin::bench {

// 115200 baud, 8N1: ten bits on the line a byte, four bytes a frame.
constexpr int kLineBytesPerSecond = 115200 / 10;
constexpr int kLineFramesPerSecond = kLineBytesPerSecond / 4;

inline double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace kavrin::bench
