// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/settings_store.h"

#include <map>
#include <memory>

class QSettings;

namespace kavrin {

// QSettings in native format, user scope, organisation "kavrin": on Linux the
// file $XDG_CONFIG_HOME/kavrin/<application>.conf, on Windows the current
// user's registry. Every save is flushed at once so that another program (the
// simulated ECU registering its port) sees it.
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    ~QtSettingsStore() override;
    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override;
    void SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;
    std::vector<std::string> Keys(const std::string& application,
                                  const std::string& section) override;
    bool CanRemember() override;
    void HoldWrites() override { ++holds_; }
    void ReleaseWrites() override;
    // Used by the simulator only, to take its port entry away when it stops.
    void RemoveSetting(const std::string& application, const std::string& section,
                       const std::string& key);

private:
    // The application's settings: while writes are held, the one object that
    // gathers them; otherwise a fresh one that reads what is on disk now.
    std::unique_ptr<QSettings> Open(const std::string& application);

    bool failed_ = false;
    int holds_ = 0;
    std::map<std::string, std::unique_ptr<QSettings>> held_;
};

} // namespace kavrin
