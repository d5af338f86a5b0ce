// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/settings_store.h"

namespace kavrin {

// QSettings in native format, user scope, organisation "kavrin": on Linux the
// file $XDG_CONFIG_HOME/kavrin/<application>.conf, on Windows the current
// user's registry. Every save is flushed at once so that another program (the
// simulated ECU registering its port) sees it.
class QtSettingsStore final : public SettingsStore {
public:
    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override;
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;
    std::vector<std::string> Keys(const std::string& application,
                                  const std::string& section) override;
    bool CanRemember() override;
    // Used by the simulator only, to take its port entry away when it stops.
    void RemoveSetting(const std::string& application, const std::string& section,
                       const std::string& key);

private:
    bool failed_ = false;
};

} // namespace kavrin
