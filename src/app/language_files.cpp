// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/language_files.h"

#include "base/modulo.h"

#include <algorithm>
#include <cctype>

namespace kavrin {

namespace {
constexpr const char* kExtension = ".lan";

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string TrimSpaces(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}
} // namespace

LanguageFiles::LanguageFiles(FileSystem& files, std::vector<std::string> folders,
                             const CodePageDecoder& decoder)
    : files_(files), folders_(std::move(folders)), decoder_(decoder) {}

std::vector<std::string> LanguageFiles::List() {
    std::vector<std::string> names;
    for (const std::string& folder : folders_) {
        for (const std::string& file : files_.ListFiles(folder, kExtension)) {
            if (file.size() <= 4) continue;
            const std::string name = file.substr(0, file.size() - 4);
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
        }
    }
    return names;
}

bool LanguageFiles::Load(const std::string& language, LanguageTexts& texts) {
    texts.charset = 0;
    for (const std::string& folder : folders_) {
        const auto content = files_.ReadFile(folder + "/" + language + kExtension);
        if (!content) continue;
        if (Lower(language) == "chinese")
            texts.LoadFields(*content, decoder_);
        else
            texts.Load(*content, decoder_);
        return true;
    }
    return false;
}

bool LanguageFiles::Has(const std::string& language) {
    for (const std::string& folder : folders_)
        if (files_.ReadFile(folder + "/" + language + kExtension)) return true;
    return false;
}

void ApplyLanguage(const std::vector<TranslatableControl*>& controls, const LanguageTexts& texts) {
    using Kind = TranslatableControl::Kind;
    for (TranslatableControl* control : controls) {
        if (!control || control->Tag() <= 0) continue;
        std::string tooltip = TrimSpaces(texts.Text(control->Tag()));
        const std::string caption = SplitFirst(tooltip, '~');
        const Kind kind = control->ControlKind();
        // 200 twips of margin around a button's caption, 30 pixels for the box
        // of a check box.
        if (kind == Kind::GraphicalButton) {
            const int w = control->TextWidth(caption) + 200 / 15;
            if (w > control->Width()) control->SetWidth(w);
        }
        if (!caption.empty()) control->SetCaption(caption);
        if (!tooltip.empty() && kind != Kind::Menu) control->SetToolTip(tooltip);
        if (kind == Kind::CheckBox) {
            const int w = 30 + control->TextWidth(caption);
            if (w > control->Width()) control->SetWidth(w);
        }
    }
}

} // namespace kavrin
