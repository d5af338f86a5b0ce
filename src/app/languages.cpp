// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/languages.h"

#include "base/text_entries.h"

#include <algorithm>
#include <cctype>

namespace kavrin {

Languages::Languages(MainView& view, SettingsStore& settings, FileSystem& files,
                     std::vector<std::string> folders, LanguageTexts& texts,
                     std::function<void()> switched)
    : view_(view), settings_(settings), codePages_(MakeSystemCodePageDecoder()),
      files_(files, std::move(folders), *codePages_), texts_(texts),
      switched_(std::move(switched)) {}

void Languages::Restore() {
    name_ = settings_.GetSetting(kAppName, "main", "language", kBaseLanguage);
    Load();
}

void Languages::BuildMenu() {
    names_ = files_.List();
    if (names_.empty()) {
        view_.mnLanguage->SetEntries({kBaseLanguage});
        view_.mnLanguage->SetChecked(0, false);
        return;
    }
    view_.mnLanguage->SetEntries(names_);
    for (std::size_t i = 0; i < names_.size(); ++i)
        view_.mnLanguage->SetChecked(static_cast<int>(i), names_[i] == name_);
}

void Languages::Apply() {
    ApplyLanguage(view_.tagged, texts_);
    ApplyTabCaptions();
}

void Languages::mnlan_Click(int k) {
    const std::vector<std::string> names =
        names_.empty() ? std::vector<std::string>{kBaseLanguage} : names_;
    if (k < 0 || k >= static_cast<int>(names.size())) return;
    for (std::size_t i = 0; i < names.size(); ++i)
        view_.mnLanguage->SetChecked(static_cast<int>(i), static_cast<int>(i) == k);
    name_ = names[static_cast<std::size_t>(k)];
    settings_.SaveSetting(kAppName, "main", "language", name_);
    Load();
    Apply();
    if (switched_) switched_();
}

void Languages::Load() {
    // English first: an entry that a translation does not have yet (a file
    // made for an older version) shows in English rather than empty. A file
    // that is not there leaves every text as it is; at start, with no texts
    // yet, the window shows English then.
    const bool found = files_.Has(name_);
    if (name_ != kBaseLanguage && (found || !texts_.HasTexts())) files_.Load(kBaseLanguage, texts_);
    if (found && files_.Load(name_, texts_)) {
        view_.notePanel->SetText(
            texts_.HasTexts() ? "" : texts_.Format(text::kLanguageWithoutTexts, {name_}));
        view_.notePanel->SetVisible(!texts_.HasTexts());
        return;
    }
    std::string upper = name_;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    view_.messages->Warning("file: " + upper + ".LAN not found!");
}

void Languages::ApplyTabCaptions() {
    static constexpr int kEntries[6] = {13, 14, 40, 41, 66, 65};
    // A language file without these entries leaves the design captions.
    for (int i = 0; i < 6; ++i)
        if (const std::string& text = texts_.Text(kEntries[i]); !text.empty())
            view_.tabCaptions[i]->SetText(text);
}

} // namespace kavrin
