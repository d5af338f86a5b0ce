// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The interface language: the "Language" menu, loading the chosen file over
// English, and applying its texts to the window.
#include "app/language_files.h"
#include "app/main_view.h"
#include "base/code_pages.h"
#include "base/language_texts.h"
#include "base/settings_store.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kavrin {

class Languages {
public:
    // folders: where the ".lan" files are, in the order they are searched.
    // switched: what else follows a change of language in the window.
    Languages(MainView& view, SettingsStore& settings, FileSystem& files,
              std::vector<std::string> folders, LanguageTexts& texts,
              std::function<void()> switched);

    // At start: the stored language's texts (a missing file is said).
    void Restore();
    // The menu, its entries the files found, the current one checked.
    void BuildMenu();
    // Every tagged control and tab caption from the texts.
    void Apply();
    // "Language" menu entry k.
    void mnlan_Click(int k);

    const std::vector<std::string>& names() const { return names_; }
    const std::string& name() const { return name_; }

    // The language whose file holds every entry.
    static constexpr const char* kBaseLanguage = "English";

private:
    void Load();
    void ApplyTabCaptions();

    MainView& view_;
    SettingsStore& settings_;
    std::unique_ptr<CodePageDecoder> codePages_;
    LanguageFiles files_;
    LanguageTexts& texts_;
    std::function<void()> switched_;
    std::string name_ = kBaseLanguage;
    std::vector<std::string> names_;
};

} // namespace kavrin
