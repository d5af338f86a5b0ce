// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The axes of the maps as their header cells show them: engine speed across
// the columns, throttle down the fuel map's rows, temperature across the
// compensation tables. The map layout writes them into the grids; the
// difference report and the undo history name cells by them.
#include "base/modulo.h"

#include <cstdint>
#include <string>

namespace kavrin {

// The throttle sensor's span between THR MIN and THR MAX, never below 1 count.
struct ThrottleAxis {
    double thrMin = 0;
    std::int16_t span = 255;  // ThrSpan
    std::int32_t scale = 257; // ThrScale, 65535 / span rounded down
};

// Limits that make no sense would leave no span to divide by: they fall back
// to the sensor's full range. thrMax is rounded to a whole count, thrMin is
// taken as it stands.
ThrottleAxis ThrottleAxisFor(double thrMin, double thrMax);

// Fuel-map row (from 1) on the throttle axis: its breakpoint in sensor counts
// above THR MIN, in 256ths of the span finer at small openings (0, 16, 32, 48,
// 64, 96, 128 ... 256), and as a percentage of the span.
std::int32_t ThrottleRowCounts(const ThrottleAxis& axis, int row);
double ThrottleRowPercent(const ThrottleAxis& axis, int row);

// Engine speed of map column (from 1; 0 is the corner) in rpm: "5000".
std::string EngineSpeedHeader(int column);

// Throttle of fuel-map row (from 1): its percentage with one decimal and "%"
// in formatted mode ("49.9%"), the sensor count itself in raw mode ("120").
std::string ThrottleRowHeader(const ThrottleAxis& axis, int row, DataFormatMode dataFormat);

// Temperature of compensation column (from 1) in degrees: "30".
std::string TemperatureHeader(int column);

} // namespace kavrin
