// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt_controls.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QPainter>
#include <QPixmap>

namespace kavrin {

QColor ToQColor(Colour c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

void SetPaletteRole(QWidget* w, QPalette::ColorRole role, Colour c) {
    // Live frames set the same colours many times a second; a new palette
    // restyles the widget, so only a change is applied.
    const QColor colour = ToQColor(c);
    if (w->palette().color(role) == colour && w->testAttribute(Qt::WA_SetPalette)) return;
    QPalette p = w->palette();
    p.setColor(role, colour);
    w->setPalette(p);
}

QPixmap ConnectionPixmap(bool connected) {
    QPixmap pm(14, 14);
    pm.fill(Qt::transparent);
    QPainter painter(&pm);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.setBrush(connected ? QColor(0, 190, 0) : QColor(200, 0, 0));
    painter.drawEllipse(QRectF(1.5, 1.5, 11, 11));
    return pm;
}
} // namespace

QtWidgetControl::Kind QtWidgetControl::KindOf(QWidget* widget) {
    if (qobject_cast<QLabel*>(widget)) return Kind::Label;
    if (qobject_cast<QLineEdit*>(widget)) return Kind::Field;
    if (qobject_cast<QAbstractButton*>(widget)) return Kind::Button;
    return Kind::Other;
}

void QtWidgetControl::SetText(const std::string& text) {
    // The window rewrites its labels and fields with what they mostly show
    // already (every tick, every refresh of the image): an unchanged text is
    // not set again, so Qt neither lays it out nor paints it.
    const QString q = Q(text);
    if (auto* l = As<QLabel>(Kind::Label)) {
        if (l->text() != q) l->setText(q);
    } else if (auto* e = As<QLineEdit>(Kind::Field)) {
        // Setting a field also drops what the user did in it (its modified
        // mark, undo history, caret and selection); only a field the user has
        // not touched since and that already says the same is left alone.
        if (e->text() != q || e->isModified() || e->hasFocus() || e->isUndoAvailable() ||
            e->isRedoAvailable())
            e->setText(q);
    } else if (auto* b = As<QAbstractButton>(Kind::Button)) {
        if (b->text() != q) b->setText(q);
    }
}

std::string QtWidgetControl::Text() const {
    if (auto* l = As<QLabel>(Kind::Label)) return l->text().toStdString();
    if (auto* e = As<QLineEdit>(Kind::Field)) {
        // The chart reads its scale boxes at every point: a text that stayed
        // is not converted again.
        const QString text = e->text();
        if (text != lastText_) {
            lastText_ = text;
            lastTextUtf8_ = text.toStdString();
        }
        return lastTextUtf8_;
    }
    if (auto* b = As<QAbstractButton>(Kind::Button)) return b->text().toStdString();
    return {};
}

void QtWidgetControl::SetForeColour(Colour colour) {
    // Each refresh sets the live values' colours again: the same one costs nothing.
    if (!widget_ || fore_ == colour) return;
    fore_ = colour;
    SetPaletteRole(
        widget_, kind_ == Kind::Field ? QPalette::Text : QPalette::WindowText, colour);
    if (kind_ == Kind::Button)
        SetPaletteRole(widget_, QPalette::ButtonText, colour);
}

void QtWidgetControl::SetBackColour(Colour colour) {
    if (!widget_) return;
    if (kind_ == Kind::Field) {
        SetPaletteRole(widget_, QPalette::Base, colour);
        return;
    }
    widget_->setAutoFillBackground(true);
    SetPaletteRole(widget_, QPalette::Window, colour);
}

void QtWidgetControl::SetVisible(bool visible) {
    if (widget_) widget_->setVisible(visible);
}

bool QtWidgetControl::IsVisible() const {
    return widget_ && !widget_->isHidden();
}

void QtWidgetControl::BringToFront() {
    if (widget_) widget_->raise();
}

void QtWidgetControl::Move(int left, int top) {
    // The logic places controls in its window's pixels, as the grids report theirs.
    if (!widget_) return;
    QWidget* parent = widget_->parentWidget();
    const QPoint at(left, top);
    const QPoint inParent =
        parent && !widget_->isWindow() ? parent->mapFrom(widget_->window(), at) : at;
    if (widget_->pos() != inParent) widget_->move(inParent);
}

void QtWidgetControl::SetChecked(bool checked) {
    if (auto* b = As<QAbstractButton>(Kind::Button)) b->setChecked(checked);
}

bool QtWidgetControl::IsChecked() const {
    auto* b = As<QAbstractButton>(Kind::Button);
    return b && b->isChecked();
}

void QtMenuControl::SetText(const std::string& text) {
    if (action_) action_->setText(Q(text));
}

std::string QtMenuControl::Text() const {
    return action_ ? action_->text().toStdString() : "";
}

void QtMenuControl::SetVisible(bool visible) {
    if (action_) action_->setVisible(visible);
}

bool QtMenuControl::IsVisible() const {
    return action_ && action_->isVisible();
}

void QtMenuControl::SetChecked(bool checked) {
    if (action_) action_->setChecked(checked);
}

bool QtMenuControl::IsChecked() const {
    return action_ && action_->isChecked();
}

void QtConnectionPanel::SetText(const std::string& text) {
    // Said again on every tick while data arrives.
    if (text_ && text_->text() != Q(text)) text_->setText(Q(text));
}

std::string QtConnectionPanel::Text() const {
    return text_ ? text_->text().toStdString() : "";
}

void QtConnectionPanel::SetConnectedPicture(bool connected) {
    // Shown again on every tick while data arrives: only a change is drawn.
    if (!picture_ || shownConnected_ == connected) return;
    shownConnected_ = connected;
    picture_->setPixmap(ConnectionPixmap(connected));
    // The picture's state in words for the accessibility tools.
    picture_->setProperty("connected", connected);
}

void QtMessageBoxes::Exclamation(const std::string& text) {
    Post(QMessageBox::Warning, QApplication::applicationName(), Q(text), false, nullptr);
}

void QtMessageBoxes::Warning(const std::string& text) {
    Post(QMessageBox::Warning, QApplication::applicationName(), Q(text), false, nullptr);
}

void QtMessageBoxes::AskYesNo(const std::string& text, const std::string& title,
                              std::function<void(bool)> answered) {
    Post(QMessageBox::Question, Q(title), Q(text), true, std::move(answered));
}

void QtMessageBoxes::Post(int icon, const QString& title, const QString& text, bool question,
                          std::function<void(bool)> answered) {
    if (silent_ || !parent_ || open_.contains(text)) {
        if (answered && silent_) answered(false);
        return;
    }
    open_.insert(text);
    QTimer::singleShot(0, parent_, [this, icon, title, text, question, answered] {
        if (silent_) {
            open_.remove(text);
            if (answered) answered(false);
            return;
        }
        auto* box = new QMessageBox(static_cast<QMessageBox::Icon>(icon), title, text,
                                    question ? QMessageBox::Yes | QMessageBox::No
                                             : QMessageBox::Ok,
                                    parent_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(box, &QMessageBox::finished, parent_, [this, box, text, answered] {
            open_.remove(text);
            if (answered) answered(box->clickedButton() == box->button(QMessageBox::Yes));
        });
        box->open();
    });
}

} // namespace kavrin
