// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/settings_store.h"

#include <map>
#include <tuple>

namespace kavrin::test {

// Settings held in memory; every save is recorded in order. A store that
// cannot remember keeps nothing.
class MemorySettingsStore final : public SettingsStore {
public:
    using Key = std::tuple<std::string, std::string, std::string>;

    std::string GetSetting(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& def) override {
        const auto it = values.find({app, section, key});
        return it == values.end() ? def : it->second;
    }
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override {
        if (!canRemember) return;
        values[{app, section, key}] = value;
        saves.push_back({app, section, key});
    }
    std::vector<std::string> Keys(const std::string& app, const std::string& section) override {
        std::vector<std::string> keys;
        for (const auto& [k, v] : values)
            if (std::get<0>(k) == app && std::get<1>(k) == section) keys.push_back(std::get<2>(k));
        return keys;
    }
    bool CanRemember() override { return canRemember; }
    std::string Get(const std::string& section, const std::string& key) {
        return GetSetting("kavrin", section, key, "<absent>");
    }

    std::map<Key, std::string> values;
    std::vector<Key> saves;
    bool canRemember = true;
};

} // namespace kavrin::test
