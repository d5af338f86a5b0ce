// SPDX-License-Identifier: GPL-3.0-or-later
// The number reader on any text, and the number texts of what it read: the
// texts use "." alone and read back as the number they show.
#include "base/modulo.h"
#include "config/config_image.h"
#include "fuzz_harness.h"

#include <cmath>

using namespace kavrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double v = ReadNumber(text);
    fuzz::Check(std::isfinite(v), "the reader gave a number that is not finite");
    // Out of range, the integer conversions saturate (UBSan sees any overflow).
    (void)RoundToInt16(v);
    fuzz::Check(std::fabs(RoundToInt32(v) - double(FloorToInt32(v))) <= 1, "rounding is off");
    fuzz::Check(ReadNumber(GeneralNumberText(v)) == v ||
                    std::fabs(ReadNumber(GeneralNumberText(v)) / v - 1) < 1e-14,
                "the general number text does not read back");

    const float f = ToSingle(v);
    // Halfway between two texts, within the float's own precision.
    auto within = [](double read, double shown, int decimals) {
        return std::fabs(read - shown) <= 0.5 * std::pow(10.0, -decimals) + std::fabs(shown) * 1e-6;
    };
    fuzz::Check(within(ReadNumber(FormatTwoDecimals(f)), f, 2), "FormatTwoDecimals is off");
    fuzz::Check(ReadNumber(FormatScaled(f, 3.28f, 1, kRawData)) == FloorToInt32(f),
                "the raw text is not the floor");
    for (const float factor : {kPercentPerStep, kDegreesPerStep, 3.28f, 0.0256f})
        for (int decimals = 0; decimals <= 3; ++decimals) {
            const std::string shown = FormatScaled(f, factor, decimals, kFormattedData);
            fuzz::Check(shown.find(',') == std::string::npos, "a comma in a number text");
            const float product = f * factor;
            if (std::isfinite(product))
                fuzz::Check(within(ReadNumber(shown), product, decimals), "FormatScaled is off");
        }

    std::string rest = text;
    const std::string first = SplitFirst(rest, '=');
    fuzz::Check(first == text ? rest.empty() : first + "=" + rest == text, "SplitFirst lost text");
    return 0;
}
