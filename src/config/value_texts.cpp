// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/value_texts.h"

namespace kavrin {

std::string FuelCellText(float pulseMs, int byte, DataFormatMode dataFormat) {
    return dataFormat != kRawData ? FormatTwoDecimals(pulseMs) : DecimalText(byte);
}

std::string IgnitionCellText(int byte, DataFormatMode dataFormat) {
    return FormatScaled(static_cast<float>(byte), kDegreesPerStep, 1, dataFormat);
}

std::string CompensationCellText(int byte, DataFormatMode dataFormat) {
    return FormatScaled(static_cast<float>(byte), kPercentPerStep, 1, dataFormat);
}

std::string ParameterFieldText(ParameterField field, int byte, float fuelScale,
                               DataFormatMode dataFormat) {
    const ParameterScaling& p = kParameterScalings[field];
    if (p.factor == 0) return DecimalText(byte);
    float value = static_cast<float>(byte);
    float factor = static_cast<float>(p.factor);
    // The cut-off byte is the high byte of an engine-speed count, the same
    // count the live data carries; the offset counts sixteen fuel steps.
    if (field == kCutOff) value *= 256.0f;
    if (field == kEfiOffset) factor *= fuelScale;
    return FormatScaled(value, factor, p.decimals, dataFormat);
}

} // namespace kavrin
