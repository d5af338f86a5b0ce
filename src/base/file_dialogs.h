// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string>

namespace kavrin {

// The platform's file dialogs for configuration files and datalogs. Nothing
// when the user cancels or the dialog fails.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<std::string> ChooseOpenFile(const std::string& title) = 0;
    // Asks before an existing file is overwritten.
    virtual std::optional<std::string> ChooseSaveFile(const std::string& title,
                                                      const std::string& proposedName) = 0;
    // A new datalog (".csv"), proposed under proposedName in the user's
    // documents folder; asks before an existing file is overwritten.
    virtual std::optional<std::string> ChooseLogFile(const std::string& /*title*/,
                                                     const std::string& /*proposedName*/) {
        return std::nullopt;
    }
    // A datalog to read (".csv").
    virtual std::optional<std::string> ChooseLogToOpen(const std::string& title) {
        return ChooseOpenFile(title);
    }
};

} // namespace kavrin
