// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/parameters.h"

#include "base/language_texts.h"
#include "config/map_cells.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace kavrin {

namespace {

// Integer part towards minus infinity as a 16-bit value. A typed number too
// large for 16 bits saturates at the range's end, which the write then limits
// to a byte like any other out-of-range value.
std::int16_t FloorToInt16(double value) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(FloorToInt32(value), -32768, 32767));
}

constexpr int kTextRescaleQuestion = 92;
constexpr int kTextRescaleTitle = 49;

} // namespace

std::int16_t AngleToByte(std::string_view text, DataFormatMode dataFormat) {
    if (dataFormat == kRawData)
        return std::clamp<std::int16_t>(RoundToInt16(ReadNumber(text)), 0, 255);
    float degrees = ReadSingle(text);
    if (!(degrees >= 0)) degrees = 0;
    if (degrees > 89.5f) degrees = 89.5f;
    return RoundToInt16(degrees / kDegreesPerStep);
}

FuelScaleSuggestion ComputeFuelScaleSuggestion(const Configuration& config) {
    const auto& pulses = config.FuelPulseTable;
    const int cells = std::min<int>(config.FuelCells, static_cast<int>(pulses.size()));
    float max = 0;
    float min = pulses.empty() ? 0.0f : pulses[0];
    for (int i = 0; i < cells; ++i) {
        max = std::max(max, pulses[i]);
        min = std::min(min, pulses[i]);
    }
    FuelScaleSuggestion s;
    s.factor = RoundToInt16((static_cast<double>(max) - min) / kMsPerPulseCount / 255);
    if (s.factor == 0) s.factor = 1;
    const std::int32_t steps = FloorToInt32(min / kMsPerPulseCount / s.factor / 16);
    s.offset = static_cast<std::int16_t>(
        std::clamp<std::int64_t>(steps * std::int64_t{16}, -32768, 32767));
    if (s.offset > 255) {
        s.offset = 255;
        s.factor = RoundToInt16(max / kMsPerPulseCount / 510);
    }
    return s;
}

ParameterFields::ParameterFields(const ParameterControls& controls, Configuration& config,
                                 const LinkFlags& flags, ConfigWriter& writer,
                                 ConfigRefresh& refresh, MessageBoxes& messages,
                                 const LanguageTexts& texts, const WindowState& state)
    : controls_(controls), fields_{controls.txtCompensation, controls.txtMainAngle,
                                   controls.txtEFI_angle,    controls.txtPump,
                                   controls.txtTHRmin,       controls.txtTHRmax,
                                   controls.txtCorte,        controls.txtFactor,
                                   controls.txtOffset,       controls.txtPriming,
                                   controls.txtDwell},
      config_(config), flags_(flags), writer_(writer), refresh_(refresh), messages_(messages),
      texts_(texts), state_(state) {}

// Values reach here through RoundToInt16 and the like, which saturate at the
// 16-bit range instead of overflowing; the write then limits them to a byte.
void ParameterFields::Write(int offset, std::int16_t value) {
    std::int16_t index = static_cast<std::int16_t>(config_.ParamBase + offset);
    writer_.WriteConfigByte('M', index, value);
}

double ParameterFields::FieldNumber(ParameterField field) const {
    return ReadNumber(fields_[field]->Text());
}

// The typed number as its byte: divided by the field's factor in formatted mode.
void ParameterFields::WriteUnscaled(ParameterField field) {
    const double v = FieldNumber(field);
    const ParameterScaling& p = kParameterScalings[field];
    Write(p.offset, RoundToInt16(Formatted() && p.factor != 0 ? v / p.factor : v));
}

void ParameterFields::txtCompensation_Validate() {
    WriteUnscaled(kCompensation);
}

void ParameterFields::txtMainAngle_Validate() {
    Write(kParameterScalings[kMainAngle].offset,
          AngleToByte(controls_.txtMainAngle->Text(), state_.DataFormat));
}

void ParameterFields::txtEFI_angle_Validate() {
    std::int16_t value = AngleToByte(controls_.txtEFI_angle->Text(), state_.DataFormat);
    std::int16_t index =
        static_cast<std::int16_t>(config_.ParamBase + kParameterScalings[kEfiAngle].offset);
    writer_.WriteConfigByte('M', index, value);
    // The ECU works in whole steps: show the angle it will really use.
    controls_.txtEFI_angle->SetText(FormatScaled(value, kDegreesPerStep, 1, state_.DataFormat));
}

void ParameterFields::txtPump_Validate() {
    WriteUnscaled(kPump);
}

void ParameterFields::txtTHRmin_Validate() {
    WriteUnscaled(kThrMin);
    refresh_.LayoutMaps();
}

void ParameterFields::txtTHRmax_Validate() {
    WriteUnscaled(kThrMax);
    refresh_.LayoutMaps();
}

void ParameterFields::txtCorte_Validate() {
    // The ECU keeps the cut-off as the high byte of an engine-speed count.
    const ParameterScaling& p = kParameterScalings[kCutOff];
    const std::int32_t counts = FloorToInt32(FieldNumber(kCutOff) / p.factor);
    Write(p.offset, FloorToInt16(counts / 256.0));
    refresh_.LayoutMaps();
}

void ParameterFields::txtFactor_Validate() {
    const ParameterScaling& p = kParameterScalings[kEfiFactor];
    double f = FieldNumber(kEfiFactor);
    if (Formatted()) f = f / p.factor;
    // A factor byte of 0 would leave the ECU without a pulse scale.
    std::int16_t factor = std::clamp<std::int16_t>(RoundToInt16(f), 1, 255);
    const int oldFactor = config_.ConfigImage[config_.ParamBase + p.offset];
    Write(p.offset, factor);
    refresh_.ShowConfig();
    messages_.AskYesNo(texts_.Text(kTextRescaleQuestion), texts_.Text(kTextRescaleTitle),
                       [this, oldFactor, factor](bool yes) {
                           if (!yes) return;
                           RescaleFuelMap(oldFactor, factor);
                           refresh_.ShowConfig();
                       });
}

void ParameterFields::RescaleFuelMap(int oldFactor, int newFactor) {
    // Every cell keeps its pulse time under the new factor. Online the ECU
    // must get the rescaled bytes too, or it would run its old map with the new
    // factor; and the image holds the old factor until the ECU echoes the new
    // one, so the pulses are worked out with the factor just sent.
    const bool online = flags_.online;
    const float newScale = FuelScaleForFactor(newFactor);
    const int cells =
        std::min<int>(config_.FuelCells, static_cast<int>(config_.FuelPulseTable.size()));
    for (std::int16_t i = 0; i < cells; ++i) {
        const std::int32_t product = config_.ConfigImage[i] * oldFactor;
        std::int16_t rescaled = static_cast<std::int16_t>(
            std::min(RoundToInt32(static_cast<double>(product) / newFactor), 255));
        config_.ConfigImage.Set(i, rescaled);
        if (online) {
            config_.FuelPulseTable[i] = static_cast<float>(rescaled) * newScale;
            std::int16_t index = i;
            writer_.WriteConfigByte('M', index, rescaled);
        } else {
            config_.FuelPulseTable[i] = FuelRawToMs(config_, rescaled);
        }
    }
    config_.RecolourFuel = true;
}

void ParameterFields::txtOffset_Validate() {
    const ParameterScaling& p = kParameterScalings[kEfiOffset];
    const double v = FieldNumber(kEfiOffset);
    std::int16_t value;
    if (Formatted()) {
        // FuelScale is 0 only before the image was first shown; the offset is
        // then read against the scale the image gives.
        if (config_.FuelScale == 0) config_.UpdateFuelScale();
        value = RoundToInt16(v / config_.FuelScale / p.factor);
    } else {
        value = RoundToInt16(v);
    }
    Write(p.offset, std::min<std::int16_t>(value, 255));
    refresh_.ShowConfig();
}

void ParameterFields::txtPriming_Validate() {
    WriteUnscaled(kPriming);
}

void ParameterFields::txtDwell_Validate() {
    WriteUnscaled(kDwell);
}

void ParameterFields::cmdTHRmin_Click() {
    controls_.txtTHRmin->SetText(DecimalText(state_.LastValues[5]));
    txtTHRmin_Validate();
}

void ParameterFields::cmdTHRmax_Click() {
    controls_.txtTHRmax->SetText(DecimalText(state_.LastValues[5]));
    txtTHRmax_Validate();
}

void ParameterFields::WriteOptionBit(int offset, int bit, const CheckControl* box) {
    // ShowConfig ticks the boxes with writes suppressed; those ticks are not edits.
    if (state_.writes.Suppressed() || !box) return;
    const int mask = 1 << bit;
    const int current = config_.ConfigImage[config_.ParamBase + offset];
    const int b = box->IsChecked() ? (current | mask) : (current & (255 - mask));
    Write(offset, static_cast<std::int16_t>(b));
}

void ParameterFields::options_Click(int index) {
    if (index < 0 || index >= static_cast<int>(controls_.options.size())) return;
    WriteOptionBit(kOptionsOffset, index, controls_.options[index]);
}

void ParameterFields::options2_Click(int index) {
    if (index < 0 || index >= static_cast<int>(controls_.options2.size())) return;
    WriteOptionBit(kOptions2Offset, index, controls_.options2[index]);
}

void ParameterFields::SuggestFuelScale() {
    const FuelScaleSuggestion s = ComputeFuelScaleSuggestion(config_);
    // Shown in the units of the factor and offset fields.
    const double usPerStep = kParameterScalings[kEfiFactor].factor;
    controls_.lblfactor->SetText(
        FormatTwoDecimals(static_cast<float>(s.factor) * static_cast<float>(usPerStep)));
    controls_.lbloffset->SetText(GeneralNumberText(s.offset * 16.0 * s.factor * usPerStep));
}

} // namespace kavrin
