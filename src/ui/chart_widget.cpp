// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/chart_widget.h"

#include "ui/qt_controls.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

namespace kavrin {

ChartWidget::ChartWidget(QSize drawingArea, QWidget* parent)
    : QWidget(parent), image_(drawingArea, QImage::Format_RGB32) {
    setObjectName(QStringLiteral("picRPM"));
    // The frame runs outside the drawing area, so its top line and the zero
    // line at its bottom, and a channel at 0, stay visible.
    setFixedSize(drawingArea + QSize(2 * kFrame, 2 * kFrame));
    setAttribute(Qt::WA_OpaquePaintEvent);
    background_ = palette().color(QPalette::HighlightedText);
    labelFont_ = font();
    labelFont_.setPixelSize(10);
    image_.fill(background_);
}

void ChartWidget::Changed() {
    if (updatePending_) return;
    updatePending_ = true;
    update();
}

QPainter& ChartWidget::Painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setFont(labelFont_);
    }
    return *painter_;
}

void ChartWidget::EndPainting() {
    painter_.reset();
}

ChartWidget::~ChartWidget() {
    EndPainting();
}

void ChartWidget::Clear() {
    EndPainting();
    image_.fill(background_);
    Changed();
}

void ChartWidget::Line(int x1, int y1, int x2, int y2, Colour colour) {
    QPainter& p = Painter();
    p.setPen(ToQColor(colour));
    p.drawLine(x1, y1, x2, y2);
    Changed();
}

void ChartWidget::Print(int x, int top, const std::string& text, Colour colour) {
    QPainter& p = Painter();
    p.setPen(ToQColor(colour));
    const QFontMetrics m(labelFont_);
    p.drawText(QPoint(x, top + m.ascent()), QString::fromStdString(text));
    Changed();
}

int ChartWidget::TextWidth(const std::string& text) const {
    return QFontMetrics(labelFont_).horizontalAdvance(QString::fromStdString(text));
}

void ChartWidget::SetDescription(const QString& text) {
    if (accessibleDescription() != text) setAccessibleDescription(text);
}

void ChartWidget::paintEvent(QPaintEvent*) {
    EndPainting();
    updatePending_ = false;
    ++repaints_;
    QPainter p(this);
    p.drawImage(kFrame, kFrame, image_);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace kavrin
