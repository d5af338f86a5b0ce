// SPDX-License-Identifier: GPL-3.0-or-later
#include "live/live_cell.h"

#include <algorithm>
#include <cmath>

namespace kavrin {

namespace {

// Integer part as a 16-bit value; a throttle far above 100 % (a reading well
// past THR MAX) saturates instead of wrapping to a negative row.
std::int16_t IntegerPart16(double value) {
    return static_cast<std::int16_t>(std::clamp(std::trunc(value), -32768.0, 32767.0));
}

} // namespace

LiveCellPosition LocateLiveCell(std::int32_t rpmCount, float throttlePercent) {
    LiveCellPosition p;
    p.n = rpmCount / 1024.0;
    p.LiveCol = IntegerPart16(p.n);
    if (p.LiveCol == 0) p.LiveCol = 1;
    // Rows 1 to 4 take 6.25 % of throttle each, where small openings matter
    // most; the rows after them 12.5 % each.
    p.r = throttlePercent / 6.25;
    if (p.r > 4) p.r = p.r / 2 + 2;
    p.LiveRow = static_cast<std::int16_t>(std::min<int>(IntegerPart16(p.r) + 1, 32767));
    return p;
}

} // namespace kavrin
