// SPDX-License-Identifier: GPL-3.0-or-later
#include "live/channels.h"

#include <cmath>
#include <string>

namespace kavrin {

namespace {

constexpr Colour kBlue = Rgb(0, 0, 255);
constexpr Colour kRed = Rgb(255, 0, 0);
constexpr Colour kBlack = Rgb(0, 0, 0);

// U+00BA and "C".
constexpr const char* kDegreesCelsius = "\xC2\xBA"
                                        "C";

} // namespace

const std::array<ChannelInfo, kMeasuredChannels>& ChannelTable() {
    static const std::array<ChannelInfo, kMeasuredChannels> table = {{
        {"RPM", PreConversion::None, kRpmPerCount, 0, "rpm", kBlue},
        {"IGN", PreConversion::None, kDegreesPerStep, 1, "deg", kRed},
        {"IGN_DEL", PreConversion::TimesPrescale, 1.0f, 2, "ms", Rgb(0, 255, 255)},
        {"EFI", PreConversion::PulseCount, 1.0f, 2, "ms", kBlack},
        {"EFI_DEL", PreConversion::TimesPrescale, 1.0f, 2, "ms", Rgb(0, 255, 0)},
        {"THR", PreConversion::ThrottlePercent, 1.0f, 1, "%", Rgb(255, 128, 0)},
        {"THRa", PreConversion::None, 100.0f / 255.0f, 1, "%/s", Rgb(255, 0, 255)},
        {"TEMP1", PreConversion::Temperature, 1.0f, 1, kDegreesCelsius, kBlack},
        {"TEMP2", PreConversion::Temperature, 1.0f, 1, kDegreesCelsius, kBlack},
        {"LAMBDA", PreConversion::Lambda, 1.0f, 1, "AFR", kRed},
        {"MAP", PreConversion::None, 1.0f, 1, "", kRed},
        {"prescaler", PreConversion::None, 1.0f, 1, "", kRed},
        {"COMP", PreConversion::None, 1.0f, 0, "", kRed},
        {"COMP2", PreConversion::None, 1.0f, 1, "", kRed},
        {"VOLT1", PreConversion::None, 5.0f / 255.0f, 2, "", kRed},
        {"VOLT2", PreConversion::None, 5.0f / 255.0f, 2, "", kRed},
    }};
    return table;
}

ChannelInitialTexts InitialChannelTexts(int channel) {
    // At 0.1 the engine speed's 1000 rpm reach the chart's top line.
    const char* scale = "1";
    if (channel == 0) scale = "0.1";
    if (channel == 3 || channel == 6) scale = "5";
    return {"0", "x", scale};
}

LiveChannels::LiveChannels(const ChannelControls& controls, LiveChart& chart,
                           const Configuration& config, WindowState& state,
                           const Control& txtTHRmin, Colour windowBackground)
    : controls_(controls), chart_(chart), config_(config), state_(state), txtTHRmin_(txtTHRmin),
      windowBackground_(windowBackground) {}

float LiveChannels::ComputeThrottlePercent(std::int32_t count) const {
    const double thrMin = ReadNumber(txtTHRmin_.Text());
    double d = count - thrMin;
    if (d < 0) d = 0;
    const double p = std::trunc(d * state_.maps.ThrScale / 256);
    return static_cast<float>(p / 255 * 100);
}

void LiveChannels::ShowStatusBits(std::int32_t bits) {
    auto flag = [&](int mask) { return (bits & mask) != 0; };
    controls_.lblCranking->SetBackColour(flag(kCrankingBit) ? kBlue : windowBackground_);
    controls_.lblselector->SetText(flag(kSelectorBit) ? "1" : "0");
    controls_.lblStop->SetBackColour(flag(kStopBit) ? kRed : windowBackground_);
    controls_.lblPulse->SetText(flag(kPulseBit) ? "HL" : "LH");
    controls_.lblFirst->SetBackColour(flag(kFirstBit) ? kBlue : windowBackground_);
    controls_.lblAnticip->SetBackColour(flag(kAnticipBit) ? kBlue : windowBackground_);
}

void LiveChannels::ShowChannel(const std::int16_t& channel, const std::int32_t& value) {
    if (channel < 0 || channel > kStatusChannel) return;
    state_.LastValues[channel] = value;
    if (channel == kStatusChannel) {
        statusDue_ = true;
        return;
    }
    if (channel == 11 && value < 4) {
        // The ECU reports its timer prescaler as a power of two.
        state_.prescaleMultiplier = static_cast<std::int16_t>(value >= 0 ? 1 << value : 0);
    }

    const ChannelInfo& info = ChannelTable()[channel];
    float x = static_cast<float>(value);
    float factor = info.factor;
    switch (info.pre) {
    case PreConversion::None:
        break;
    case PreConversion::TimesPrescale:
        // Delays are counted in prescaled timer ticks of one fuel step each.
        x = x * state_.prescaleMultiplier;
        factor = config_.FuelScale;
        break;
    case PreConversion::PulseCount:
        x = x * static_cast<float>(kMsPerPulseCount);
        break;
    case PreConversion::ThrottlePercent:
        state_.ThrottlePercent = ComputeThrottlePercent(value);
        x = state_.ThrottlePercent;
        break;
    case PreConversion::Temperature:
        x = x / 0.8f;
        break;
    case PreConversion::Lambda:
        x = x * (kLambdaHighAfr - kLambdaLowAfr) / 255 + kLambdaLowAfr;
        break;
    }

    rows_[channel] = {true, value, x, factor, state_.DataFormat};
    x = x * factor;
    shown_[channel] = x;

    const CheckControl* box = controls_.chk[channel];
    chart_.PlotPoint(channel, x, info.colour, box && box->IsChecked());
    if (channel == 0) chart_.Advance();
}

void LiveChannels::Refresh() {
    for (int n = 0; n < kMeasuredChannels; ++n) {
        ShownRow& row = rows_[n];
        if (!row.due) continue;
        row.due = false;
        const ChannelInfo& info = ChannelTable()[n];
        // Raw, the count as received: channel 3 shows its count, not x 0.0008.
        const bool formatted = row.mode != kRawData;
        controls_.lblvalor[n]->SetText(
            formatted ? FormatScaled(row.value, row.factor, info.decimals, row.mode)
                      : DecimalText(row.count));
        controls_.lblUnit[n]->SetText(formatted ? info.unit : "");
        controls_.chk[n]->SetForeColour(info.colour);
        controls_.lblvalor[n]->SetForeColour(info.colour);
    }
    if (statusDue_) ShowStatusBits(state_.LastValues[kStatusChannel]);
    statusDue_ = false;
    chart_.Show();
}

} // namespace kavrin
