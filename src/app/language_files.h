// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the ".lan" files are, which languages there are, loading one into the
// text table, and applying the table to a window's tagged controls.
#include "base/code_pages.h"
#include "base/file_system.h"
#include "base/language_texts.h"
#include "base/translatable_control.h"

#include <string>
#include <vector>

namespace kavrin {

class LanguageFiles {
public:
    // folders in the order they are searched: the program's own, the installed
    // data folder, the user's own.
    LanguageFiles(FileSystem& files, std::vector<std::string> folders,
                  const CodePageDecoder& decoder);

    // Language names (file names without ".lan"), each folder in the order the
    // file system gives; a name already found in an earlier folder is not
    // listed again.
    std::vector<std::string> List();

    // Loads the language's file from the first folder that has it: the texts
    // and the character set. The charset is reset first; the rest of the table
    // stays as it is when there is no such file (false).
    bool Load(const std::string& language, LanguageTexts& texts);
    // True when some folder has the language's file.
    bool Has(const std::string& language);

private:
    FileSystem& files_;
    std::vector<std::string> folders_;
    const CodePageDecoder& decoder_;
};

// Caption and tooltip of every tagged control from its entry: split at the
// first "~" after trimming; an empty part leaves the control's own; check
// boxes and graphical buttons grow to fit their caption.
void ApplyLanguage(const std::vector<TranslatableControl*>& controls, const LanguageTexts& texts);

} // namespace kavrin
