// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The control interfaces bound to Qt widgets.
#include "base/controls.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include <optional>

namespace kavrin {

QColor ToQColor(Colour colour);

// Any widget with a text: labels, line edits, buttons, check boxes.
class QtWidgetControl : public CheckControl {
public:
    explicit QtWidgetControl(QWidget* widget) : widget_(widget), kind_(KindOf(widget)) {}
    void SetText(const std::string& text) override;
    std::string Text() const override;
    void SetForeColour(Colour colour) override;
    void SetBackColour(Colour colour) override;
    void SetVisible(bool visible) override;
    bool IsVisible() const override;
    void BringToFront() override;
    void Move(int left, int top) override;
    void SetChecked(bool checked) override;
    bool IsChecked() const override;
    QWidget* widget() const { return widget_; }

private:
    // What the widget is, found once: live frames reach these calls hundreds
    // of times a second.
    enum class Kind { Label, Field, Button, Other };
    static Kind KindOf(QWidget* widget);
    template <class W>
    W* As(Kind kind) const {
        return kind_ == kind ? static_cast<W*>(widget_.data()) : nullptr;
    }

    QPointer<QWidget> widget_;
    Kind kind_;
    // The text colour last set through this control.
    std::optional<Colour> fore_;
    // A box's text as last read, and the same in UTF-8.
    mutable QString lastText_;
    mutable std::string lastTextUtf8_;
};

// A menu item with a check mark.
class QtMenuControl final : public CheckControl {
public:
    explicit QtMenuControl(QAction* action) : action_(action) {}
    void SetText(const std::string& text) override;
    std::string Text() const override;
    void SetForeColour(Colour) override {}
    void SetBackColour(Colour) override {}
    void SetVisible(bool visible) override;
    bool IsVisible() const override;
    void SetChecked(bool checked) override;
    bool IsChecked() const override;

private:
    QPointer<QAction> action_;
};

// The "connection" panel: a picture beside a text.
class QtConnectionPanel final : public ConnectionPanel {
public:
    QtConnectionPanel(QLabel* picture, QLabel* text) : picture_(picture), text_(text) {}
    void SetText(const std::string& text) override;
    std::string Text() const override;
    void SetForeColour(Colour) override {}
    void SetBackColour(Colour) override {}
    void SetVisible(bool) override {}
    bool IsVisible() const override { return true; }
    void SetConnectedPicture(bool connected) override;

private:
    QPointer<QLabel> picture_;
    QPointer<QLabel> text_;
    std::optional<bool> shownConnected_;
};

// Message boxes opened from the event loop once the handler that raised them
// has returned, never as a loop of their own inside it.
class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent) : parent_(parent) {}
    void Exclamation(const std::string& text) override;
    void Warning(const std::string& text) override;
    void AskYesNo(const std::string& text, const std::string& title,
                  std::function<void(bool)> answered) override;
    // The program is ending: no box is shown any more, a question is answered No.
    void Silence() { silent_ = true; }

private:
    void Post(int icon, const QString& title, const QString& text, bool question,
              std::function<void(bool)> answered);
    QPointer<QWidget> parent_;
    bool silent_ = false;
    QSet<QString> open_; // the texts of the boxes posted or on screen
};

} // namespace kavrin
