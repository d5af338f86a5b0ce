// SPDX-License-Identifier: GPL-3.0-or-later
#include "live/channel_settings.h"

#include "base/modulo.h"

#include <algorithm>

namespace kavrin {

namespace {
constexpr const char* kSection = "channels";
}

ChannelSettings::ChannelSettings(const ChannelControls& controls, SettingsStore& settings)
    : controls_(controls), settings_(settings) {}

void ChannelSettings::Restore() {
    for (int n = 0; n < kMeasuredChannels; ++n) {
        const std::string key = DecimalText(n);
        if (CheckControl* chk = controls_.chk[n]) {
            const std::int16_t state = RoundToInt16(
                ReadNumber(settings_.GetSetting(kAppName, kSection, "activate_" + key, "0")));
            chk->SetChecked(std::clamp<std::int16_t>(state, 0, 1) == 1);
        }
        if (Control* scale = controls_.txtEscala[n])
            scale->SetText(settings_.GetSetting(kAppName, kSection, "scale_" + key,
                                                InitialChannelTexts(n).txtEscala));
    }
}

void ChannelSettings::chk_Click(int n) {
    if (n < 0 || n >= kMeasuredChannels || !controls_.chk[n]) return;
    const CheckControl& chk = *controls_.chk[n];
    const std::string key = DecimalText(n);
    settings_.SaveSetting(kAppName, kSection, "name_" + key, chk.Text());
    settings_.SaveSetting(kAppName, kSection, "activate_" + key, chk.IsChecked() ? "1" : "0");
}

void ChannelSettings::txtEscala_Validate(int n) {
    if (n < 0 || n >= kMeasuredChannels || !controls_.txtEscala[n]) return;
    Control& box = *controls_.txtEscala[n];
    std::string text = box.Text();
    std::replace(text.begin(), text.end(), ',', '.');
    box.SetText(text);
    settings_.SaveSetting(kAppName, kSection, "scale_" + DecimalText(n), text);
}

} // namespace kavrin
