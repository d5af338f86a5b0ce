// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every configuration the ECU sends is kept: each good dump that differs from
// the last one kept is saved as an ".efi" file in the user's state folder,
// named by date, time and port ("2026-12-07-101500-COM7.efi"); the newest are
// kept. The window's own version goes there too before "Use the ECU's"
// replaces it ("2026-12-07-101500-COM7-mine.efi").
#include "base/clock.h"
#include "base/file_system.h"
#include "config/config_image.h"

#include <optional>
#include <string>
#include <vector>

namespace kavrin {

struct BackupEntry {
    LocalDateTime when;
    std::string port;
    bool windowVersion = false; // the window's own version, not a dump
    std::string path;
};

class BackupStore {
public:
    static constexpr int kKept = 200;

    // The folder is the state folder's "kavrin/backups".
    BackupStore(FileSystem& files, CalendarClock& calendar);

    const std::string& Folder() const { return folder_; }
    // A good dump, laid out as a configuration. Saved when it differs from the
    // last one kept (in this run or an earlier one): the path, or nothing when
    // unchanged or not saved.
    std::optional<std::string> KeepDump(const Configuration& ecu, const std::string& port);
    // The window's version, saved whatever it holds: the path, or nothing.
    std::optional<std::string> KeepWindowVersion(const Configuration& window,
                                                 const std::string& port);
    // Newest first.
    std::vector<BackupEntry> List();
    // Why the folder could not be written, once until a save works again: the
    // window says it, and the tool works on.
    std::optional<Reason> TakeFailure();

private:
    std::optional<std::string> Save(const std::string& text, const std::string& port,
                                    bool windowVersion);
    void Fail(const Reason& reason);
    void RemoveOldest();

    FileSystem& files_;
    CalendarClock& calendar_;
    std::string folder_;
    std::optional<std::string> lastDump_; // the text of the last dump kept
    bool lastDumpRead_ = false;
    std::optional<Reason> failure_;
    bool failureSaid_ = false;
};

} // namespace kavrin
