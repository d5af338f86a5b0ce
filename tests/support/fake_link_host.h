// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/language_texts.h"
#include "link/link_host.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kavrin::test {

// Records what the link asks of the rest of the window.
class FakeLinkHost final : public LinkHost {
public:
    struct Channel {
        std::int16_t channel;
        std::int32_t value;
        bool operator==(const Channel&) const = default;
    };
    void ShowConfig() override { ++showConfigs; }
    void LayoutMaps() override { ++layouts; }
    void ShowChannel(std::int16_t channel, std::int32_t value) override {
        channels.push_back({channel, value});
    }
    void TrackLiveCell() override { ++tracks; }
    void HideLiveMarkers() override { ++markerHides; }
    void SetGridBackground(Colour colour) override { gridBackground = colour; }
    void SetChannelControlsColour(Colour) override {}
    void SetPortMenuCheck(std::int16_t) override {}
    void SetCounterPanel(int panel, const std::string& text) override { panels[panel] = text; }
    void SetConnectionText(const std::string& text) override { connectionText = text; }
    void SetConnectionPicture(bool) override {}
    void ShowPortMessage(const std::string& text) override { messages.push_back(text); }

    int showConfigs = 0, layouts = 0, tracks = 0, markerHides = 0;
    std::vector<Channel> channels;
    Colour gridBackground = 0;
    std::string panels[6];
    std::string connectionText;
    std::vector<std::string> messages;
};

// A shipped language file as it is on disk.
inline std::string ShippedLanguageFile(const std::string& name) {
    std::ifstream file(std::string(KAVRIN_LANG_DIR) + "/" + name + ".lan", std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

// Texts "T1" .. "T1000", so a test can see which entry a window text came
// from; an entry that the English file fills in shows what it was given:
// "T96(run.csv,2)".
inline std::string NumberedLanguageFile() {
    LanguageTexts english;
    english.Load(ShippedLanguageFile("English"));
    std::string content;
    for (int i = 1; i <= LanguageTexts::kEntries; ++i) {
        std::string fill;
        for (char k = '1'; k <= '9'; ++k)
            if (english.Text(i).find(std::string{'%', k}) != std::string::npos)
                fill += (fill.empty() ? "%" : ",%") + std::string{k};
        // A text that is a tooltip alone stays one.
        const bool tipOnly = english.Text(i).starts_with('~');
        content += std::to_string(i) + (tipOnly ? ";~T" : ";T") + std::to_string(i) +
                   (fill.empty() ? "" : "(" + fill + ")") + "\r\n";
    }
    return content;
}

} // namespace kavrin::test
