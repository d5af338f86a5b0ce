// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

namespace kavrin {

// The per-user settings store, addressed by application, section and key and
// holding texts. The only way the logic reaches stored choices.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string GetSetting(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) = 0;
    virtual void SaveSetting(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
    // Keys of one section, for the serial port table only: the tool's own
    // settings are always read one key at a time.
    virtual std::vector<std::string> Keys(const std::string& application,
                                          const std::string& section) = 0;
    // False when the store cannot be read or written (a read-only or damaged
    // file, no access): the tool still runs on the defaults, but the user's
    // choices will not outlive this run.
    virtual bool CanRemember() { return true; }
    // Saves between these two reach the disk together when the last hold ends,
    // each file rewritten once: closing the window stores some sixty values,
    // and a rewrite with its sync for each costs seconds on a slow card.
    virtual void HoldWrites() {}
    virtual void ReleaseWrites() {}
};

// Holds the store's writes for as long as it lives.
class HeldSettingsWrites {
public:
    explicit HeldSettingsWrites(SettingsStore& store) : store_(store) { store_.HoldWrites(); }
    ~HeldSettingsWrites() { store_.ReleaseWrites(); }
    HeldSettingsWrites(const HeldSettingsWrites&) = delete;
    HeldSettingsWrites& operator=(const HeldSettingsWrites&) = delete;

private:
    SettingsStore& store_;
};

inline constexpr const char* kAppName = "kavrin";
inline constexpr const char* kColumnWidthsApp = "RA1";

} // namespace kavrin
