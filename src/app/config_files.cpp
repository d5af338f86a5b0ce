// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/config_files.h"

#include "base/modulo.h"
#include "base/text_entries.h"

namespace kavrin {

ConfigFiles::ConfigFiles(MainView& view, FileSystem& files, const LanguageTexts& texts,
                         Configuration& config, Hooks hooks)
    : view_(view), files_(files), texts_(texts), config_(config), hooks_(std::move(hooks)) {}

void ConfigFiles::SetCaption(const std::string& text) {
    caption_ = text;
    view_.caption->SetText(text);
}

void ConfigFiles::mnOpen_Click() {
    view_.dialogs->ChooseOpenFile(texts_.Text(75), [this](const auto& path) {
        if (path && !path->empty()) ReadEfiFile(*path);
    });
}

void ConfigFiles::mnSave_Click(std::function<void()> after) {
    view_.dialogs->ChooseSaveFile(texts_.Text(76), caption_,
                                  [this, after = std::move(after)](const auto& path) {
                                      if (path && !path->empty()) WriteEfiFile(*path);
                                      if (after) after();
                                  });
}

std::optional<EfiReadResult> ConfigFiles::ReadChecked(const std::string& path) {
    const auto content = files_.ReadFile(path);
    if (!content) {
        view_.messages->Exclamation(
            path + "\n" + texts_.Format(text::kCannotBeRead, {texts_.Explain(files_.LastError())}) +
            "\n" + texts_.Text(text::kNothingLoaded));
        return std::nullopt;
    }
    EfiReadResult file = ReadEfiText(*content, config_);
    if (!file.ok) {
        view_.messages->Exclamation(
            path + "\n" +
            texts_.Format(text::kLineReason,
                          {DecimalText(file.line), EfiRefusalText(file, texts_)}) +
            "\n" + texts_.Text(text::kNothingLoaded));
        return std::nullopt;
    }
    return file;
}

bool ConfigFiles::ReadEfiFile(const std::string& path) {
    const auto file = ReadChecked(path);
    if (!file) return false;
    SetCaption(path);
    if (hooks_.BeforeLoad) hooks_.BeforeLoad();
    LoadEfiSteps(file->steps, config_, hooks_.load);
    return true;
}

std::optional<Configuration> ConfigFiles::ReadToCompare(const std::string& path) {
    const auto file = ReadChecked(path);
    if (!file) return std::nullopt;
    Configuration other = config_;
    LoadEfiSteps(file->steps, other,
                 EfiLoadHooks{[&other] { other.SizeImage(); },
                              [&other](std::int16_t index, std::int16_t value) {
                                  other.ConfigImage.Set(index, value);
                              },
                              {}});
    return other;
}

bool ConfigFiles::WriteEfiFile(const std::string& path) {
    if (!files_.WriteFile(path, WriteEfiText(config_))) {
        view_.messages->Exclamation(
            path + "\n" +
            texts_.Format(text::kCannotBeSaved, {texts_.Explain(files_.LastError())}) + "\n" +
            texts_.Text(text::kOldFileKept));
        return false;
    }
    SetCaption(path);
    if (hooks_.Saved) hooks_.Saved();
    return true;
}

} // namespace kavrin
