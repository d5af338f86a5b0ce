// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt_owner_window.h"

#include "ui/qt_edit_box.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace kavrin {

namespace {
bool TypesIntoTextField(QWidget* target, const QKeyEvent& key) {
    const auto* field = qobject_cast<QLineEdit*>(target);
    if (!field || field->isReadOnly() ||
        (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    const QString text = key.text();
    return text.size() == 1 && text.at(0).isPrint();
}
} // namespace

QtOwnerWindow::QtOwnerWindow(QWidget* window, std::string name, QObject* parent)
    : QObject(parent), window_(window), name_(std::move(name)) {
    // On the application, not the window: the key preview must see a key
    // before the focused control does.
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

QtOwnerWindow::~QtOwnerWindow() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool QtOwnerWindow::IsVisible() const {
    return window_ && window_->isVisible();
}

QWidget* QtOwnerWindow::KeyTarget() const {
    if (!window_) return nullptr;
    QWidget* focused = window_->focusWidget();
    return focused ? focused : window_.data();
}

void QtOwnerWindow::SendTab() {
    if (previewing_) {
        if (tabSent_) return;
        tabSent_ = true;
    }
    // Posted like a typed key: it arrives after the key being handled now, and
    // the focus leaving the box runs the box's validation.
    if (QWidget* target = KeyTarget())
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab,
                                                          Qt::NoModifier, QStringLiteral("\t")));
}

void QtOwnerWindow::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    listeners_.Raise([](OwnerWindowListener& l) { l.OnUnload(); });
}

bool QtOwnerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (window_ && watched == window_) {
        if (event->type() == QEvent::Close) {
            // Closing may still be refused; the window is gone only when the
            // hide that follows an accepted close arrives.
            closing_ = true;
            QMetaObject::invokeMethod(
                this, [this] { closing_ = false; }, Qt::QueuedConnection);
        } else if (event->type() == QEvent::Hide && closing_) {
            closing_ = false;
            Unload();
        }
    }
    if (keyPreview_ && event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        watched == KeyTarget()) {
        const auto& key = static_cast<QKeyEvent&>(*event);
        // A character typed into a text field is the field's: "-5" must reach
        // the main angle field, "1e-3" a scale box, and no step key may fire.
        if (TypesIntoTextField(static_cast<QWidget*>(watched), key)) return false;
        int keyCode = WindowsKeyCode(key);
        if (keyCode != 0) {
            previewing_ = true;
            tabSent_ = false;
            listeners_.Raise([&keyCode](OwnerWindowListener& l) { l.OnKeyDown(keyCode); });
            previewing_ = false;
            if (keyCode == 0) return true;
        }
    }
    return false;
}

} // namespace kavrin
