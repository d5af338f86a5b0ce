// SPDX-License-Identifier: GPL-3.0-or-later
#include "tune/backups.h"

#include "base/text_entries.h"

#include "config/efi_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <tuple>

namespace kavrin {

namespace {

constexpr const char* kSuffix = ".efi";
constexpr const char* kWindowMark = "mine";
constexpr std::size_t kStampLength = 17; // 2026-12-07-101500

std::string Stamp(const LocalDateTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

// A port as part of a file name: its last path part ("/dev/ttyUSB0" gives
// ttyUSB0), letters, digits and "_" only, so "-" separates the name's parts.
std::string PortPart(const std::string& port) {
    std::string name = port.substr(port.find_last_of("/\\") + 1);
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name.empty() ? "port" : name;
}

bool Digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Number(std::string_view digits) {
    int n = 0;
    for (char c : digits) n = std::min(n * 10 + (c - '0'), 1'000'000);
    return n;
}

// A name this store gave, as an entry and its place among those of the same
// second (the counter of a second file in one second); nothing for others.
struct Parsed {
    BackupEntry entry;
    int counter = 1;
};
std::optional<Parsed> ParseName(const std::string& name) {
    const std::string_view n(name);
    if (n.size() < kStampLength + 2 + 4 || !n.ends_with(kSuffix)) return std::nullopt;
    const std::string_view stamp = n.substr(0, kStampLength);
    if (!Digits(stamp.substr(0, 4)) || stamp[4] != '-' || !Digits(stamp.substr(5, 2)) ||
        stamp[7] != '-' || !Digits(stamp.substr(8, 2)) || stamp[10] != '-' ||
        !Digits(stamp.substr(11, 6)) || n[kStampLength] != '-')
        return std::nullopt;
    Parsed p;
    LocalDateTime& t = p.entry.when;
    t = {Number(stamp.substr(0, 4)),  Number(stamp.substr(5, 2)),  Number(stamp.substr(8, 2)),
         Number(stamp.substr(11, 2)), Number(stamp.substr(13, 2)), Number(stamp.substr(15, 2))};
    std::string_view rest = n.substr(kStampLength + 1, n.size() - kStampLength - 1 - 4);
    const auto dash = rest.find('-');
    p.entry.port = std::string(rest.substr(0, dash));
    if (p.entry.port.empty()) return std::nullopt;
    rest = dash == std::string_view::npos ? std::string_view() : rest.substr(dash + 1);
    if (rest.starts_with(kWindowMark)) {
        p.entry.windowVersion = true;
        rest.remove_prefix(std::char_traits<char>::length(kWindowMark));
        if (!rest.empty() && rest.front() == '-') rest.remove_prefix(1);
    }
    if (!rest.empty()) {
        if (!Digits(rest)) return std::nullopt;
        p.counter = Number(rest);
    }
    return p;
}

} // namespace

BackupStore::BackupStore(FileSystem& files, CalendarClock& calendar)
    : files_(files), calendar_(calendar) {
    const std::string state = files_.StateFolder();
    if (!state.empty()) folder_ = state + "/kavrin/backups";
}

std::optional<std::string> BackupStore::KeepDump(const Configuration& ecu,
                                                 const std::string& port) {
    const std::string text = WriteEfiText(ecu);
    if (!lastDumpRead_) {
        // The newest dump kept by an earlier run counts: a restart against the
        // same ECU adds no copy.
        lastDumpRead_ = true;
        for (const BackupEntry& e : List()) {
            if (e.windowVersion) continue;
            lastDump_ = files_.ReadFile(e.path);
            break;
        }
    }
    if (lastDump_ == text) return std::nullopt;
    auto path = Save(text, port, false);
    if (path) lastDump_ = text;
    return path;
}

std::optional<std::string> BackupStore::KeepWindowVersion(const Configuration& window,
                                                          const std::string& port) {
    return Save(WriteEfiText(window), port, true);
}

std::optional<std::string> BackupStore::Save(const std::string& text, const std::string& port,
                                             bool windowVersion) {
    if (folder_.empty()) {
        Fail(Reason::Entry(text::kNoStateFolder));
        return std::nullopt;
    }
    if (!files_.MakeFolder(folder_)) {
        Fail(files_.LastError().empty() ? Reason::Entry(text::kFolderNotMade) : files_.LastError());
        return std::nullopt;
    }
    std::string base = Stamp(calendar_.Now()) + "-" + PortPart(port);
    if (windowVersion) base += std::string("-") + kWindowMark;
    // Two in one second: the second gets a counter and both stay.
    const std::vector<std::string> names = files_.ListFiles(folder_, kSuffix);
    std::string name = base + kSuffix;
    for (int n = 2; std::find(names.begin(), names.end(), name) != names.end(); ++n)
        name = base + "-" + DecimalText(n) + kSuffix;
    const std::string path = folder_ + "/" + name;
    // The file system replaces a file whole or not at all.
    if (!files_.WriteFile(path, text)) {
        Fail(files_.LastError().empty() ? Reason::Entry(text::kFileNotWritten) : files_.LastError());
        return std::nullopt;
    }
    failure_.reset();
    failureSaid_ = false;
    RemoveOldest();
    return path;
}

void BackupStore::Fail(const Reason& reason) {
    failure_ = reason;
}

std::optional<Reason> BackupStore::TakeFailure() {
    if (!failure_ || failureSaid_) return std::nullopt;
    failureSaid_ = true;
    return failure_;
}

std::vector<BackupEntry> BackupStore::List() {
    std::vector<std::pair<Parsed, std::string>> found;
    if (folder_.empty()) return {};
    for (const std::string& name : files_.ListFiles(folder_, kSuffix))
        if (auto p = ParseName(name)) found.emplace_back(std::move(*p), name);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tuple(a.second.substr(0, kStampLength), a.first.counter, a.second) >
               std::tuple(b.second.substr(0, kStampLength), b.first.counter, b.second);
    });
    std::vector<BackupEntry> entries;
    entries.reserve(found.size());
    for (auto& [parsed, name] : found) {
        parsed.entry.path = folder_ + "/" + name;
        entries.push_back(std::move(parsed.entry));
    }
    return entries;
}

void BackupStore::RemoveOldest() {
    const std::vector<BackupEntry> entries = List();
    for (std::size_t i = kKept; i < entries.size(); ++i) files_.RemoveFile(entries[i].path);
}

} // namespace kavrin
