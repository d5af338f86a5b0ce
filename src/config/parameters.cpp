#include "config/parameters.h"

#include "base/language_texts.h"
#include "config/map_cells.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace kavrin {

namespace {

std::string TextOf(const Control* control) {
    return control ? control->Text() : std::string();
}

void SetTextOf(Control* control, const std::string& text) {
    if (control) control->SetText(text);
}

// Up to fifteen significant digits, no thousands separator, "." as point.
std::string GeneralNumberText(double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return std::string(buf, res.ptr);
}

// Integer part towards minus infinity as a 16-bit value. A typed number too
// large for 16 bits saturates at the range's end, which the write then limits
// to a byte like any other out-of-range value.
std::int16_t FloorToInt16(double value) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(FloorToInt32(value), -32768, 32767));
}

constexpr int kOptionsOffset = 6;
constexpr int kOptions2Offset = 12;
constexpr int kFactorOffset = 8;

constexpr int kTextRescaleQuestion = 92;
constexpr int kTextRescaleTitle = 49;

} // namespace

std::int16_t AngleToByte(std::string_view text, DataFormatMode dataFormat) {
    if (dataFormat == kRawData)
        return std::clamp<std::int16_t>(RoundToInt16(ReadNumber(text)), 0, 255);
    float degrees = ReadSingle(text);
    if (!(degrees >= 0)) degrees = 0;
    if (degrees > 89.5f) degrees = 89.5f;
    return RoundToInt16(degrees * 1024.0f / 360.0f);
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
    s.factor = RoundToInt16((static_cast<double>(max) - min) / 0.0008 / 255);
    if (s.factor == 0) s.factor = 1;
    const std::int32_t steps = FloorToInt32(min / 0.0008 / s.factor / 16);
    s.offset = static_cast<std::int16_t>(
        std::clamp<std::int64_t>(steps * std::int64_t{16}, -32768, 32767));
    if (s.offset > 255) {
        s.offset = 255;
        s.factor = RoundToInt16(max / 0.0008 / 510);
    }
    return s;
}

ParameterFields::ParameterFields(const ParameterControls& controls, Configuration& config,
                                 const LinkFlags& flags, ConfigWriter& writer,
                                 ConfigRefresh& refresh, MessageBoxes& messages,
                                 const LanguageTexts& texts, const WindowState& state)
    : controls_(controls), config_(config), flags_(flags), writer_(writer), refresh_(refresh),
      messages_(messages), texts_(texts), state_(state) {}

// Values reach here through RoundToInt16 and the like, which saturate at the
// 16-bit range instead of overflowing; the write then limits them to a byte.
void ParameterFields::Write(int offset, std::int16_t value) {
    std::int16_t index = static_cast<std::int16_t>(config_.ParamBase + offset);
    writer_.WriteConfigByte('M', index, value);
}

double ParameterFields::FieldNumber(const Control* field) const {
    return ReadNumber(TextOf(field));
}

void ParameterFields::txtCompensation_Validate() {
    const double v = FieldNumber(controls_.txtCompensation);
    Write(0, RoundToInt16(Formatted() ? v / 0.78125 : v));
}

void ParameterFields::txtMainAngle_Validate() {
    Write(1, AngleToByte(TextOf(controls_.txtMainAngle), state_.DataFormat));
}

void ParameterFields::txtEFI_angle_Validate() {
    std::int16_t value = AngleToByte(TextOf(controls_.txtEFI_angle), state_.DataFormat);
    std::int16_t index = static_cast<std::int16_t>(config_.ParamBase + 2);
    writer_.WriteConfigByte('M', index, value);
    // The ECU works in whole steps: show the angle it will really use.
    SetTextOf(controls_.txtEFI_angle, FormatScaled(value, 0.3515625f, 1, state_.DataFormat));
}

void ParameterFields::txtPump_Validate() {
    const double v = FieldNumber(controls_.txtPump);
    Write(3, RoundToInt16(Formatted() ? v / 100 * 255 : v));
}

void ParameterFields::txtTHRmin_Validate() {
    Write(4, RoundToInt16(FieldNumber(controls_.txtTHRmin)));
    refresh_.LayoutMaps();
}

void ParameterFields::txtTHRmax_Validate() {
    Write(5, RoundToInt16(FieldNumber(controls_.txtTHRmax)));
    refresh_.LayoutMaps();
}

void ParameterFields::txtCorte_Validate() {
    // The ECU keeps the cut-off as the high byte of a count of 1024 per 1000 rpm.
    const std::int32_t counts = FloorToInt32(FieldNumber(controls_.txtCorte) / 0.9765625);
    Write(7, FloorToInt16(counts / 256.0));
    refresh_.LayoutMaps();
}

void ParameterFields::txtFactor_Validate() {
    double f = FieldNumber(controls_.txtFactor);
    if (Formatted()) f = f / 0.8;
    // A factor byte of 0 would leave the ECU without a pulse scale.
    std::int16_t factor = std::clamp<std::int16_t>(RoundToInt16(f), 1, 255);
    const int oldFactor = config_.ConfigImage[config_.ParamBase + kFactorOffset];
    Write(kFactorOffset, factor);
    if (messages_.AskYesNo(texts_.Text(kTextRescaleQuestion), texts_.Text(kTextRescaleTitle))) {
        RescaleFuelMap(oldFactor, factor);
    }
    refresh_.ShowConfig();
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
    const double v = FieldNumber(controls_.txtOffset);
    std::int16_t value;
    if (Formatted()) {
        // FuelScale is 0 only before the image was first shown; the offset is
        // then read against the scale the image gives.
        if (config_.FuelScale == 0) config_.UpdateFuelScale();
        value = RoundToInt16(v / config_.FuelScale / 16);
    } else {
        value = RoundToInt16(v);
    }
    Write(9, std::min<std::int16_t>(value, 255));
    refresh_.ShowConfig();
}

void ParameterFields::txtPriming_Validate() {
    const double v = FieldNumber(controls_.txtPriming);
    Write(10, RoundToInt16(Formatted() ? v / 3.28 : v));
}

void ParameterFields::txtDwell_Validate() {
    const double v = FieldNumber(controls_.txtDwell);
    Write(11, RoundToInt16(Formatted() ? v / 0.0256 : v));
}

void ParameterFields::cmdTHRmin_Click() {
    SetTextOf(controls_.txtTHRmin, DecimalText(state_.LastValues[5]));
    txtTHRmin_Validate();
}

void ParameterFields::cmdTHRmax_Click() {
    SetTextOf(controls_.txtTHRmax, DecimalText(state_.LastValues[5]));
    txtTHRmax_Validate();
}

void ParameterFields::WriteOptionBit(int offset, int bit, const CheckControl* box) {
    // ShowConfig ticks the boxes with writes suppressed; those ticks are not edits.
    if (flags_.suppressWrites || !box) return;
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
    SetTextOf(controls_.lblfactor, FormatTwoDecimals(static_cast<float>(s.factor) * 0.8f));
    SetTextOf(controls_.lbloffset, GeneralNumberText(s.offset * 16.0 * s.factor * 0.8));
}

} // namespace kavrin
