// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <optional>
#include <string>

namespace kavrin {

// What the user chose in a file dialog: nothing when they cancelled or the
// dialog failed.
using FileChosen = std::function<void(const std::optional<std::string>&)>;

// The platform's file dialogs for configuration files and datalogs. Each
// shows its dialog and returns; the choice comes to done once the user has
// made it (a test's stand-in may answer at once).
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual void ChooseOpenFile(const std::string& title, FileChosen done) = 0;
    // Asks before an existing file is overwritten.
    virtual void ChooseSaveFile(const std::string& title, const std::string& proposedName,
                                FileChosen done) = 0;
    // A new datalog (".csv"), proposed under proposedName in the user's
    // documents folder; asks before an existing file is overwritten.
    virtual void ChooseLogFile(const std::string& /*title*/, const std::string& /*proposedName*/,
                               FileChosen done) {
        done(std::nullopt);
    }
    // A datalog to read (".csv").
    virtual void ChooseLogToOpen(const std::string& title, FileChosen done) {
        ChooseOpenFile(title, std::move(done));
    }
};

} // namespace kavrin
