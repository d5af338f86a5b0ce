// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_directory.h"

#include "base/modulo.h"
#include "base/settings_store.h"

#include <algorithm>
#include <set>
#include <string_view>

namespace kavrin {

namespace {
constexpr int kLastPort = 255;
constexpr int kFreeFrom = 65;

bool StartsWith(std::string_view path, std::string_view prefix) {
    return path.size() > prefix.size() && path.substr(0, prefix.size()) == prefix;
}

// macOS lists every port twice: /dev/tty.<x> waits for the carrier on open,
// /dev/cu.<x> (the callout device) does not.
constexpr std::string_view kCallout = "/dev/cu.", kDialIn = "/dev/tty.";

// Rule number of a device path, 0 when the rule gives none.
int RuleNumber(const std::string& path) {
    struct Family {
        const char* prefix;
        int first;
        int count;
    };
    static const Family families[] = {{"/dev/ttyS", 1, 32},
                                      {"/dev/ttyUSB", 33, 16},
                                      {"/dev/ttyACM", 49, 16},
                                      {"\\\\.\\COM", 0, kLastPort + 1}};
    for (const auto& f : families) {
        const std::string_view prefix = f.prefix;
        if (!StartsWith(path, prefix)) continue;
        const std::string digits = path.substr(prefix.size());
        if (digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos)
            return 0;
        const int k = std::stoi(digits);
        return k < f.count ? f.first + k : 0;
    }
    return 0;
}

// The other device of such a pair, or empty.
std::string PairedDevice(std::string_view path) {
    if (StartsWith(path, kCallout))
        return std::string(kDialIn).append(path.substr(kCallout.size()));
    if (StartsWith(path, kDialIn)) return std::string(kCallout).append(path.substr(kDialIn.size()));
    return {};
}
} // namespace

std::string WindowsDeviceName(std::int16_t port) {
    std::string name = "\\\\.\\COM" + DecimalText(port);
    name.resize(10, ' ');
    // The padding is harmless to the system but not part of the name.
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

std::map<int, std::string> AssignPortNumbers(const std::map<int, std::string>& entries,
                                             std::vector<std::string> systemDevices) {
    std::map<int, std::string> table;
    std::set<std::string> named;
    for (const auto& [n, device] : entries) {
        if (n < 1 || n > kLastPort || device.empty()) continue;
        table[n] = device;
        named.insert(device);
        named.insert(PairedDevice(device));
    }
    std::sort(systemDevices.begin(), systemDevices.end());
    systemDevices.erase(std::unique(systemDevices.begin(), systemDevices.end()),
                        systemDevices.end());
    // One port, one number: of a pair only the /dev/cu. device is numbered.
    for (const auto& device : systemDevices)
        if (StartsWith(device, kCallout)) named.insert(PairedDevice(device));
    std::vector<std::string> leftOver;
    for (const auto& device : systemDevices) {
        if (named.count(device)) continue;
        const int n = RuleNumber(device);
        if (n != 0 && !table.count(n))
            table[n] = device;
        else
            leftOver.push_back(device);
    }
    int next = kFreeFrom;
    for (const auto& device : leftOver) {
        while (next <= kLastPort && table.count(next)) ++next;
        if (next > kLastPort) break;
        table[next] = device;
    }
    return table;
}

SettingsPortDirectory::SettingsPortDirectory(SettingsStore& settings, DeviceLister lister,
                                             UnlistedNamer unlisted)
    : settings_(settings), lister_(lister), unlisted_(unlisted) {}

const std::map<int, std::string>& SettingsPortDirectory::Table() {
    if (!table_) Refresh();
    return *table_;
}

void SettingsPortDirectory::Refresh() {
    std::map<int, std::string> entries;
    for (const auto& key : settings_.Keys(kAppName, "ports")) {
        if (key.size() < 4 || (key.compare(0, 3, "COM") != 0 && key.compare(0, 3, "com") != 0))
            continue;
        const int n = RoundToInt16(ReadNumber(std::string_view(key).substr(3)));
        entries[n] = settings_.GetSetting(kAppName, "ports", key, "");
    }
    table_ = AssignPortNumbers(entries, lister_ ? lister_() : std::vector<std::string>{});
}

std::string SettingsPortDirectory::DeviceName(std::int16_t port) {
    const auto& table = Table();
    const auto it = table.find(port);
    if (it != table.end()) return it->second;
    return unlisted_ ? unlisted_(port) : std::string();
}

std::vector<std::string> SettingsPortDirectory::ListComPorts() {
    std::vector<std::string> names;
    for (const auto& [n, device] : Table()) names.push_back("COM" + DecimalText(n));
    return names;
}

} // namespace kavrin
