// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fuel map's throttle axis: the sensor span between THR MIN and THR MAX and
// where each fuel row sits on it. The row headers, the live throttle percentage
// and the mixture analysis all read the axis from here.
#include "base/modulo.h"

#include <cstdint>

namespace kavrin {

struct ThrottleScaling {
    std::int16_t ThrSpan = 255;  // THR MAX - THR MIN in sensor counts, never below 1
    std::int32_t ThrScale = 257; // 65535 / ThrSpan, rounded down
};

// From the THR MAX and THR MIN values as the fields hold them: THR MAX is
// rounded, THR MIN taken as it stands. Limits that make no sense would leave no
// span to divide by, so the sensor's full range is used instead.
inline ThrottleScaling ComputeThrottleScaling(double thrMax, double thrMin) {
    double max = RoundToInt16(thrMax);
    if (max < 1 || thrMin >= max) max = 255;
    std::int16_t span = RoundToInt16(max - thrMin);
    if (span < 1) span = 255;
    return {span, 65535 / span};
}

// Breakpoint of fuel row `row` (counted from 1) in 256ths of the throttle span,
// finer at small openings: 0, 16, 32, 48, 64, 96, 128 ... 256.
inline int ThrottleRowBreakpoint(int row) {
    return row <= 5 ? 16 * (row - 1) : 32 * (row - 3);
}

// The breakpoint in sensor counts above THR MIN.
inline std::int32_t ThrottleRowCounts(int row, std::int16_t thrSpan) {
    return RoundToInt32(static_cast<double>(ThrottleRowBreakpoint(row)) * thrSpan / 256.0);
}

// The breakpoint in percent of the throttle span, as the row's header shows it.
inline double ThrottleRowPercent(int row, const ThrottleScaling& scaling) {
    return static_cast<double>(ThrottleRowCounts(row, scaling.ThrSpan)) * scaling.ThrScale /
           65535.0 * 100.0;
}

} // namespace kavrin
