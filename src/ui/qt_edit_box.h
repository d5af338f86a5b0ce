// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editing box laid over a grid cell: a line edit that reports its keys with
// the window system's key codes and raises its validation when the focus is
// leaving it.
#include "base/edit_box.h"
#include "base/listener_list.h"

#include <QLineEdit>

class QKeyEvent;

namespace kavrin {

// Key code of a key press as the logic knows them (edit_box.h): Enter 13,
// Escape 27, arrows 37 to 40, letters and digits by their upper-case
// character, keypad "+" / "-" 107 / 109, main keyboard "+" / "-" 187 / 189.
// 0 for keys the logic has no code for.
int WindowsKeyCode(const QKeyEvent& event);

class QtEditBox final : public QLineEdit, public EditBox {
    Q_OBJECT
public:
    // parent is the owner window or a widget inside it; positions given to
    // Move are in the owner window.
    explicit QtEditBox(QWidget* parent);

    std::string Text() const override;
    void SetText(const std::string& text) override;
    int SelStart() const override;
    void SetSelStart(int start) override;
    int SelLength() const override;
    void SetSelLength(int length) override;
    void SetBackColor(Colour colour) override;
    bool Visible() const override { return !isHidden(); }
    void SetVisible(bool visible) override;
    void BringToFront() override { raise(); }
    bool SetFocus() override;
    void Move(float left, float top, float width) override;

    void AddListener(EditBoxListener* listener) override { listeners_.Add(listener); }
    void RemoveListener(EditBoxListener* listener) override { listeners_.Remove(listener); }

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // True when the key was handled and must not reach the line edit.
    bool HandleKey(QKeyEvent& event);

    ListenerList<EditBoxListener> listeners_;
    bool hiding_ = false;
};

} // namespace kavrin
