// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/map_axes.h"

#include <charconv>

namespace kavrin {

ThrottleAxis ThrottleAxisFor(double thrMin, double thrMax) {
    thrMax = RoundToInt16(thrMax);
    if (thrMax < 1 || thrMin >= thrMax) thrMax = 255;
    std::int16_t span = RoundToInt16(thrMax - thrMin);
    if (span < 1) span = 255;
    return {thrMin, span, 65535 / span};
}

std::string EngineSpeedHeader(int column) {
    // Past column 32 it no longer fits 16 bits; only a map file's dimensions
    // get there, so it is computed wider.
    return DecimalText(static_cast<long long>(column) * 1000);
}

std::int32_t ThrottleRowCounts(const ThrottleAxis& axis, int row) {
    const int b = row <= 5 ? 16 * (row - 1) : 32 * (row - 3);
    return RoundToInt32(static_cast<double>(b) * axis.span / 256.0);
}

double ThrottleRowPercent(const ThrottleAxis& axis, int row) {
    return static_cast<double>(ThrottleRowCounts(axis, row)) * axis.scale / 65535.0 * 100.0;
}

std::string ThrottleRowHeader(const ThrottleAxis& axis, int row, DataFormatMode dataFormat) {
    // THR MIN is taken as typed, so a raw header may carry decimals.
    if (dataFormat == kRawData) return GeneralNumberText(ThrottleRowCounts(axis, row) + axis.thrMin);
    // One decimal, always with a point: the number reader only knows the point.
    char buf[64];
    const double percent = ThrottleRowPercent(axis, row);
    const auto res = std::to_chars(buf, buf + sizeof buf, percent, std::chars_format::fixed, 1);
    return std::string(buf, res.ptr) + "%";
}

std::string TemperatureHeader(int column) {
    // Steps of 10 degrees.
    return DecimalText((column - 1) * 10);
}

} // namespace kavrin
