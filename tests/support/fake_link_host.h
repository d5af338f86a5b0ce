// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/language_texts.h"
#include "config/config_image.h"
#include "link/link_host.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kavrin::test {

// Records what the link asks of the rest of the window; a dump is taken
// into the configuration as the window takes one.
class FakeLinkHost final : public LinkHost, public LinkStatus {
public:
    struct Channel {
        std::int16_t channel;
        std::int32_t value;
        bool operator==(const Channel&) const = default;
    };
    explicit FakeLinkHost(Configuration& config) : config_(config) {}
    void DumpReceived(const std::vector<std::uint8_t>& bytes) override {
        config_.TakeDump(bytes);
        ++dumps;
    }
    void ConfigEchoed(std::int16_t, std::int16_t) override { ++echoes; }
    void ShowChannel(std::int16_t channel, std::int32_t value) override {
        channels.push_back({channel, value});
    }
    void TrackLiveCell() override { ++tracks; }
    void HideLiveMarkers() override { ++markerHides; }

    void Connecting() override { condition = "connecting"; }
    void PortOpened(std::int16_t) override { condition = "opened"; }
    void PortFailed(std::int16_t port, bool quiet) override {
        condition = "failed";
        if (!quiet) loudFailures.push_back(port);
    }
    void Receiving() override { condition = "receiving"; }
    void Offline() override { ++offline; }
    void CountersChanged() override { ++counterChanges; }

    int dumps = 0, echoes = 0, tracks = 0, markerHides = 0, offline = 0, counterChanges = 0;
    std::vector<Channel> channels;
    std::string condition;
    std::vector<std::int16_t> loudFailures;

private:
    Configuration& config_;
};

// A shipped language file as it is on disk.
inline std::string ShippedLanguageFile(const std::string& name) {
    std::ifstream file(std::string(KAVRIN_LANG_DIR) + "/" + name + ".lan", std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

// The shipped English texts.
inline LanguageTexts EnglishTexts() {
    LanguageTexts texts;
    texts.Load(ShippedLanguageFile("English"));
    return texts;
}

// Texts "T1" .. "T1000", so a test can see which entry a window text came
// from; an entry that the English file fills in shows what it was given:
// "T96(run.csv,2)".
inline std::string NumberedLanguageFile() {
    const LanguageTexts english = EnglishTexts();
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
