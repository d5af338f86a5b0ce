// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/chart_widget.h"

#include "ui/qt_controls.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

#include <algorithm>

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

void ChartWidget::Changed(const QRect& area) {
    // A tick's lines fall in the few columns its engine-speed frames moved
    // over: only those are copied to the screen, not the whole picture, as
    // one rectangle.
    changed_ = changed_.united(area.intersected(image_.rect()));
}

void ChartWidget::Show() {
    if (!changed_.isEmpty()) update(changed_.translated(kFrame, kFrame));
}

const QPen& ChartWidget::PenFor(Colour colour) {
    for (const auto& [c, pen] : pens_)
        if (c == colour) return pen;
    return pens_.emplace_back(colour, QPen(ToQColor(colour))).second;
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
    Changed(image_.rect());
}

void ChartWidget::Line(int x1, int y1, int x2, int y2, Colour colour) {
    QPainter& p = Painter();
    p.setPen(PenFor(colour));
    p.drawLine(x1, y1, x2, y2);
    Changed(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                  QPoint(std::max(x1, x2), std::max(y1, y2))));
}

void ChartWidget::Print(int x, int top, const std::string& text, Colour colour) {
    QPainter& p = Painter();
    p.setPen(ToQColor(colour));
    const QFontMetrics m(labelFont_);
    const QString shown = QString::fromStdString(text);
    p.drawText(QPoint(x, top + m.ascent()), shown);
    Changed(QRect(x, top, m.horizontalAdvance(shown) + 1, m.height()));
}

int ChartWidget::TextWidth(const std::string& text) const {
    return QFontMetrics(labelFont_).horizontalAdvance(QString::fromStdString(text));
}

void ChartWidget::SetDescription(const QString& text) {
    if (accessibleDescription() != text) setAccessibleDescription(text);
}

void ChartWidget::paintEvent(QPaintEvent* event) {
    // The painter on the image stays open: the raster engine has drawn each
    // line into the image already, and opening one costs more than a tick's lines.
    changed_ = QRect();
    ++repaints_;
    QPainter p(this);
    // What was drawn since, or what was covered: the rest is on screen already.
    const QRect area = event->rect();
    lastRepaint_ = area.translated(-kFrame, -kFrame).intersected(image_.rect());
    p.drawImage(lastRepaint_.topLeft() + QPoint(kFrame, kFrame), image_, lastRepaint_);
    if (!rect().adjusted(1, 1, -1, -1).contains(area)) {
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace kavrin
