#include "ui/qt_owner_window.h"

#include "ui/qt_edit_box.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace kavrin {

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

void QtOwnerWindow::DoEvents() {
    QCoreApplication::processEvents();
}

QWidget* QtOwnerWindow::KeyTarget() const {
    if (!window_) return nullptr;
    QWidget* focused = window_->focusWidget();
    return focused ? focused : window_.data();
}

void QtOwnerWindow::SendTab() {
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
        int keyCode = WindowsKeyCode(static_cast<QKeyEvent&>(*event));
        if (keyCode != 0) {
            listeners_.Raise([&keyCode](OwnerWindowListener& l) { l.OnKeyDown(keyCode); });
            if (keyCode == 0) return true;
        }
    }
    return false;
}

} // namespace kavrin
