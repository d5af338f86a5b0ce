// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration on disk: File > Open and Save, the ".efi" file read whole
// and checked before anything changes, and the window's caption, which names
// the current file.
#include "app/main_view.h"
#include "base/file_system.h"
#include "base/language_texts.h"
#include "config/config_image.h"
#include "config/efi_file.h"

#include <functional>
#include <optional>
#include <string>

namespace kavrin {

class ConfigFiles {
public:
    // What loading a file does besides reading it: every step goes through
    // the hooks (the image's size, each byte's write, the refresh).
    struct Hooks {
        std::function<void()> BeforeLoad; // a log covers one configuration: it ends
        EfiLoadHooks load;
        std::function<void()> Saved; // the image went to a file
    };

    ConfigFiles(MainView& view, FileSystem& files, const LanguageTexts& texts,
                Configuration& config, Hooks hooks);

    void mnOpen_Click();
    // after runs once the choice is dealt with: the file written or refused,
    // or the dialog cancelled.
    void mnSave_Click(std::function<void()> after = {});
    // Reads a whole file, checks it and only then loads it; a refused file
    // changes nothing and says why. True when loaded.
    bool ReadEfiFile(const std::string& path);
    // The same file read and checked whole into a configuration of its own,
    // for comparing: the window's stays as it is. A refusal is said as Open
    // says it.
    std::optional<Configuration> ReadToCompare(const std::string& path);
    // Saves the image; the old file stays as it was when that fails.
    bool WriteEfiFile(const std::string& path);

    // The current file; the window's own title until a file is opened or saved.
    const std::string& caption() const { return caption_; }
    void SetCaption(const std::string& text);

    static constexpr const char* kCaption = "KAVRIN 053";

private:
    std::optional<EfiReadResult> ReadChecked(const std::string& path);

    MainView& view_;
    FileSystem& files_;
    const LanguageTexts& texts_;
    Configuration& config_;
    Hooks hooks_;
    std::string caption_ = kCaption;
};

} // namespace kavrin
