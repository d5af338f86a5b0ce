// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's translatable controls as the language logic sees them, and the
// table that gives each its language entry.
#include "base/translatable_control.h"

#include <QFont>
#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QMainWindow;

namespace kavrin {

// A widget (label, check box, button) or a menu item with its entry number.
// Text widths are measured in the window's font.
class QtTranslatable final : public TranslatableControl {
public:
    // statusTip: the entry is the menu item's status tip, not its caption.
    QtTranslatable(QObject* object, int tag, Kind kind, const QWidget* window,
                   bool statusTip = false);
    int Tag() const override { return tag_; }
    Kind ControlKind() const override { return kind_; }
    void SetCaption(const std::string& caption) override;
    void SetToolTip(const std::string& tooltip) override;
    int Width() const override;
    void SetWidth(int pixels) override;
    int TextWidth(const std::string& text) const override;

private:
    QPointer<QObject> object_;
    int tag_;
    Kind kind_;
    QPointer<const QWidget> window_;
    bool statusTip_;
};

// Every control of the main window that carries a language entry, in the
// window's order: menus by their design caption, the rest by name or caption.
std::vector<std::unique_ptr<QtTranslatable>> TagMainWindowControls(QMainWindow* window);

} // namespace kavrin
