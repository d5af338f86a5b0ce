// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/modulo.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace kavrin {

namespace {

bool IsIgnored(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

double ReadRadix(std::string_view s, int radix) {
    double v = 0;
    for (char c : s) {
        const int d = DigitValue(c);
        if (d >= radix) break;
        v = v * radix + d;
    }
    return std::min(v, DBL_MAX);
}

// Rounds the decimal text of a non-negative number ("35.15625") to `decimals`
// places. Ties go to even or away from zero. Works on the digits themselves, so
// a value that prints as 1.005 is a tie, as the user reads it.
std::string RoundDecimalText(std::string digits, int decimals, bool tiesToEven) {
    std::string intPart = digits, frac;
    if (auto dot = digits.find('.'); dot != std::string::npos) {
        intPart = digits.substr(0, dot);
        frac = digits.substr(dot + 1);
    }
    if (intPart.empty()) intPart.push_back('0');
    if (static_cast<int>(frac.size()) <= decimals) {
        frac.append(decimals - frac.size(), '0');
    } else {
        const char next = frac[decimals];
        const bool restNonZero = frac.find_first_not_of('0', decimals + 1) != std::string::npos;
        frac.resize(decimals);
        std::string all = intPart + frac;
        bool up = next > '5' || (next == '5' && restNonZero);
        if (next == '5' && !restNonZero) {
            up = tiesToEven ? ((all.back() - '0') % 2 == 1) : true;
        }
        if (up) {
            int i = static_cast<int>(all.size()) - 1;
            while (i >= 0 && all[i] == '9') all[i--] = '0';
            if (i < 0)
                all.insert(all.begin(), '1');
            else
                ++all[i];
        }
        intPart = all.substr(0, all.size() - decimals);
        frac = all.substr(all.size() - decimals);
    }
    if (decimals > 0) {
        intPart += '.';
        intPart += frac;
    }
    return intPart;
}

std::string ShortestFixed(float value) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return std::string(buf, res.ptr);
}

std::string FormatRounded(float value, int decimals, bool tiesToEven) {
    if (!std::isfinite(value)) value = std::isnan(value) ? 0.0f : std::copysign(FLT_MAX, value);
    const bool negative = std::signbit(value);
    std::string text = RoundDecimalText(ShortestFixed(std::fabs(value)), decimals, tiesToEven);
    const bool zero = text.find_first_not_of("0.") == std::string::npos;
    if (!negative || zero) return text;
    std::string signedText(1, '-');
    signedText += text;
    return signedText;
}

} // namespace

double ReadNumber(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (!IsIgnored(c)) s.push_back(c);

    if (s.size() >= 2 && s[0] == '&') {
        const char kind = s[1];
        if (kind == 'h' || kind == 'H') return ReadRadix(std::string_view(s).substr(2), 16);
        if (kind == 'o' || kind == 'O') return ReadRadix(std::string_view(s).substr(2), 8);
        return 0;
    }

    // Longest leading number: sign, digits, one point, digits, exponent.
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return 0;
    std::size_t end = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        const std::size_t expDigits = j;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
        if (j > expDigits) end = j;
    }

    std::string number = s.substr(mantissaStart, end - mantissaStart);
    if (number.front() == '.') number.insert(number.begin(), '0');
    double value = 0;
    auto res = std::from_chars(number.data(), number.data() + number.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on overflow and underflow: an exponent
        // with a minus sign underflows to 0, anything else overflowed.
        const auto e = number.find_first_of("eE");
        const bool tiny = e != std::string::npos && e + 1 < number.size() && number[e + 1] == '-';
        value = tiny ? 0.0 : DBL_MAX;
    }
    return negative ? -value : value;
}

std::int16_t RoundToInt16(double value) {
    if (std::isnan(value)) return 0;
    const double r = std::nearbyint(std::clamp(value, -32768.0, 32767.0));
    return static_cast<std::int16_t>(r);
}

std::int32_t RoundToInt32(double value) {
    if (std::isnan(value)) return 0;
    const double r = std::nearbyint(std::clamp(value, -2147483648.0, 2147483647.0));
    return static_cast<std::int32_t>(r);
}

std::int32_t FloorToInt32(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<std::int32_t>(std::floor(std::clamp(value, -2147483648.0, 2147483647.0)));
}

std::string FormatScaled(float value, float factor, int decimals, DataFormatMode dataFormat) {
    if (dataFormat == kRawData) return DecimalText(FloorToInt32(value));
    const float product = value * factor;
    if (decimals >= 0 && decimals <= 2) return FormatRounded(product, decimals, true);
    // General number format: rounded to the places asked for, no trailing zeros.
    std::string text = FormatRounded(product, std::clamp(decimals, 0, 30), true);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    return text;
}

std::string FormatTwoDecimals(float value) {
    return FormatRounded(value, 2, false);
}

std::string DecimalText(long long value) {
    return std::to_string(value);
}

std::string GeneralNumberText(double value) {
    if (value == 0) return "0"; // and never "-0"
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return std::string(buf, res.ptr);
}

std::string SplitFirst(std::string& text, char separator) {
    const auto pos = text.find(separator);
    if (pos == std::string::npos) {
        std::string whole = std::move(text);
        text.clear();
        return whole;
    }
    std::string first = text.substr(0, pos);
    text.erase(0, pos + 1);
    return first;
}

} // namespace kavrin
