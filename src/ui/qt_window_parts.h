// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's caption, its tab captions, the "Language" menu and the file
// dialogs, bound for the window logic.
#include "base/controls.h"
#include "base/file_dialogs.h"
#include "base/language_menu.h"
#include "base/language_texts.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QFileDialog;
class QMenu;
class QTabBar;
class QTabWidget;

namespace kavrin {

// A control that is only a caption: it has no colours of its own and is always
// shown.
class CaptionControl : public Control {
public:
    void SetForeColour(Colour) override {}
    void SetBackColour(Colour) override {}
    void SetVisible(bool) override {}
    bool IsVisible() const override { return true; }
};

class QtWindowCaption final : public CaptionControl {
public:
    explicit QtWindowCaption(QWidget* window) : window_(window) {}
    void SetText(const std::string& text) override;
    std::string Text() const override;

private:
    QPointer<QWidget> window_;
};

// One tab's caption of a tab widget or a tab bar.
class QtTabCaption final : public CaptionControl {
public:
    QtTabCaption(QTabWidget* tabs, int index);
    QtTabCaption(QTabBar* bar, int index);
    void SetText(const std::string& text) override;
    std::string Text() const override;

private:
    QPointer<QTabWidget> tabs_;
    QPointer<QTabBar> bar_;
    int index_;
};

// Entries of the "Language" menu; a click reports the entry's position.
class QtLanguageMenu final : public LanguageMenu {
public:
    QtLanguageMenu(QMenu* menu, std::function<void(int)> onClick);
    void SetEntries(const std::vector<std::string>& captions) override;
    void SetChecked(int entry, bool checked) override;

private:
    QPointer<QMenu> menu_;
    std::function<void(int)> onClick_;
};

class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent) : parent_(parent) {}
    // The texts that name the kinds of file; the window's, once it has them.
    void SetTexts(const LanguageTexts* texts) { texts_ = texts; }
    void ChooseOpenFile(const std::string& title, FileChosen done) override;
    void ChooseSaveFile(const std::string& title, const std::string& proposedName,
                        FileChosen done) override;
    void ChooseLogFile(const std::string& title, const std::string& proposedName,
                       FileChosen done) override;
    void ChooseLogToOpen(const std::string& title, FileChosen done) override;

private:
    QString Filter(int kind) const;
    // Shows the window's one file dialog, set up for this choice: for a
    // save, in a folder and with a file name; for an open, in folder (the
    // last one shown when empty). It is modal, but opened rather than run:
    // the window's thread goes on with its event loop, not a second one.
    void Choose(const std::string& title, bool save, const QString& folder, const QString& file,
                int filterKind, FileChosen done);
    QPointer<QWidget> parent_;
    // Kept for the window's life: a dialog made for each choice saved its
    // history to disk and stopped its folder reader's thread, on the
    // window's thread, after the user had chosen.
    QPointer<QFileDialog> dialog_;
    const LanguageTexts* texts_ = nullptr;
};

// Captions in the window's fixed geometry that their text no longer fits (a
// longer translation, a larger font) get a smaller font, down to three
// quarters of the design's, rather than losing their ends.
void FitCaptions(QWidget* root);

} // namespace kavrin
