// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The engine's operating point in the fuel map, from the last engine-speed
// count and throttle percentage; the live-cell marker is drawn from it.
#include <cstdint>

namespace kavrin {

struct LiveCellPosition {
    double n = 0;             // engine speed in thousands of rpm (columns from column 0)
    double r = 0;             // throttle in fuel rows from the top of row 1
    std::int16_t LiveCol = 1; // fuel map column, at least 1
    std::int16_t LiveRow = 1; // fuel map row, at least 1
};

// rpmCount is entry 0 of LastValues (1024 counts per 1000 rpm).
LiveCellPosition LocateLiveCell(std::int32_t rpmCount, float throttlePercent);

} // namespace kavrin
