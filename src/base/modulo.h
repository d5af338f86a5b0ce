// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The general module: the one number reader every text goes through, the integer
// conversions, and the two number-to-text helpers every display uses.
#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <string>
#include <string_view>

namespace kavrin {

// Display mode of the whole window: 0 = raw bytes and counts, 1 = engineering units.
using DataFormatMode = std::int16_t;
inline constexpr DataFormatMode kRawData = 0;
inline constexpr DataFormatMode kFormattedData = 1;

// Reads the longest leading number of a text, whatever the process locale:
// blanks, tabs and line feeds are ignored wherever they stand; optional sign,
// digits, one ".", optional exponent; "&H" / "&O" introduce hexadecimal and
// octal digits. A text that does not start with a number reads 0. The result is
// always finite: magnitudes beyond the double range are clamped to +-DBL_MAX.
double ReadNumber(std::string_view text);

// A number in single precision; one beyond its range saturates rather than
// being converted out of range.
inline float ToSingle(double value) {
    return static_cast<float>(
        std::clamp(value, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}
inline float ReadSingle(std::string_view text) {
    return ToSingle(ReadNumber(text));
}

// Nearest integer, halves to even, limited to the target range instead of
// overflowing (a typed 1e30 becomes 32767, never undefined behaviour).
std::int16_t RoundToInt16(double value);
std::int32_t RoundToInt32(double value);

// Integer part towards minus infinity, limited to the 32-bit range.
std::int32_t FloorToInt32(double value);

// value x factor in single precision, rounded to `decimals` places (ties to
// even) and written with exactly that many decimals (0, 1 or 2; any other
// number gives as many as needed). Raw mode ignores factor and decimals and
// writes the integer part of value (floor). Always "." as decimal separator.
std::string FormatScaled(float value, float factor, int decimals, DataFormatMode dataFormat);

// value with two decimals, ties away from zero, "." as decimal separator.
std::string FormatTwoDecimals(float value);

// Plain decimal text of an integer.
std::string DecimalText(long long value);

// The general number format: as many digits as needed (up to fifteen
// significant), no thousands separator, "." as decimal point.
std::string GeneralNumberText(double value);

// Splits text at the first separator: returns the part before it and leaves the
// rest in text; without a separator returns the whole text and empties text.
std::string SplitFirst(std::string& text, char separator);

} // namespace kavrin
