// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt_edit_box.h"

#include "ui/qt_controls.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace kavrin {

int WindowsKeyCode(const QKeyEvent& event) {
    const int key = event.key();
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return (keypad ? 96 : '0') + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return kKeyBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return kKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kKeyReturn;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Escape:
        return kKeyEscape;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return kKeyLeft;
    case Qt::Key_Up:
        return kKeyUp;
    case Qt::Key_Right:
        return kKeyRight;
    case Qt::Key_Down:
        return kKeyDown;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Asterisk:
        return keypad ? 106 : 0;
    case Qt::Key_Plus:
        return keypad ? kKeyAdd : kKeyOemPlus;
    case Qt::Key_Equal:
        return kKeyOemPlus;
    case Qt::Key_Minus:
        return keypad ? kKeySubtract : kKeyOemMinus;
    case Qt::Key_Underscore:
        return kKeyOemMinus;
    case Qt::Key_Period:
        return keypad ? 110 : 190;
    case Qt::Key_Comma:
        return 188;
    case Qt::Key_Slash:
        return keypad ? 111 : 191;
    default:
        return 0;
    }
}

namespace {

// The character a key types, as the box's key-press event reports it.
int KeyAscii(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kKeyReturn;
    case Qt::Key_Escape:
        return kKeyEscape;
    case Qt::Key_Backspace:
        return kKeyBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 0; // moves the focus, types nothing
    default:
        break;
    }
    const QString text = event.text();
    return text.size() == 1 ? text.at(0).unicode() : 0;
}

} // namespace

QtEditBox::QtEditBox(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this,
            [this] { listeners_.Raise([](EditBoxListener& l) { l.OnChange(); }); });
}

std::string QtEditBox::Text() const {
    return text().toStdString();
}

void QtEditBox::SetText(const std::string& text) {
    setText(QString::fromStdString(text));
}

int QtEditBox::SelStart() const {
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void QtEditBox::SetSelStart(int start) {
    setCursorPosition(start);
}

int QtEditBox::SelLength() const {
    return static_cast<int>(selectedText().size());
}

void QtEditBox::SetSelLength(int length) {
    const int start = SelStart();
    if (length > 0)
        setSelection(start, length);
    else
        setCursorPosition(start);
}

void QtEditBox::SetBackColor(Colour colour) {
    QPalette p = palette();
    p.setColor(QPalette::Base, ToQColor(colour));
    setPalette(p);
}

void QtEditBox::SetVisible(bool visible) {
    // The box is hidden after its commit has run (or on purpose without one,
    // Escape or a scroll); the focus it loses by hiding is no reason to commit.
    hiding_ = !visible;
    setVisible(visible);
    hiding_ = false;
}

bool QtEditBox::SetFocus() {
    if (!isVisible() || !isEnabled()) return false;
    setFocus(Qt::OtherFocusReason);
    return true;
}

void QtEditBox::Move(float left, float top, float width) {
    QPoint at(qRound(left), qRound(top));
    if (QWidget* parent = parentWidget(); parent && !parent->isWindow())
        at = parent->mapFrom(window(), at);
    setGeometry(at.x(), at.y(), qRound(width), height());
}

bool QtEditBox::event(QEvent* event) {
    // Tab is taken for focus movement before keyPressEvent would see it.
    if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent&>(*event)))
        return true;
    return QLineEdit::event(event);
}

bool QtEditBox::HandleKey(QKeyEvent& event) {
    int keyCode = WindowsKeyCode(event);
    if (keyCode != 0) {
        listeners_.Raise([&keyCode](EditBoxListener& l) { l.OnKeyDown(keyCode); });
        if (keyCode == 0) return true;
    }
    const int typed = KeyAscii(event);
    if (typed == 0) return false;
    int keyAscii = typed;
    listeners_.Raise([&keyAscii](EditBoxListener& l) { l.OnKeyPress(keyAscii); });
    if (keyAscii == 0) return true;
    if (keyAscii != typed) {
        insert(QString(QChar(keyAscii)));
        return true;
    }
    return false;
}

void QtEditBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Switching to another program is not leaving the box.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    if (!hiding_) {
        bool cancel = false;
        listeners_.Raise([&cancel](EditBoxListener& l) { l.OnValidate(cancel); });
        if (cancel) {
            // The focus has already moved on; bring it back once that is done.
            QMetaObject::invokeMethod(
                this, [this] { setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
            return;
        }
    }
    listeners_.Raise([](EditBoxListener& l) { l.OnLostFocus(); });
}

} // namespace kavrin
