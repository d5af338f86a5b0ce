// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// picRPM: the live chart's picture area. The chart draws into an off-screen
// image that the widget only copies to the screen, so a covered chart comes
// back as it was, and a tick's worth of points costs one repaint of the
// columns they touched.
#include "live/chart_canvas.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <memory>
#include <vector>

namespace kavrin {

class ChartWidget final : public QWidget, public ChartCanvas {
    Q_OBJECT
public:
    // The drawing area has a fixed size in pixels whatever the screen scale.
    ChartWidget(QSize drawingArea, QWidget* parent = nullptr);
    // The frame's width around the drawing area.
    static constexpr int kFrame = 1;
    ~ChartWidget() override;

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    void Clear() override;
    void Line(int x1, int y1, int x2, int y2, Colour colour) override;
    void Print(int x, int top, const std::string& text, Colour colour) override;
    int TextWidth(const std::string& text) const override;
    void Show() override;

    // The drawing so far (ends the painting of the current tick).
    const QImage& image() {
        EndPainting();
        return image_;
    }
    // What the chart shows, for the accessibility tools.
    void SetDescription(const QString& text);
    int repaints() const { return repaints_; }
    // The part of the drawing area the last repaint copied.
    QRect lastRepaint() const { return lastRepaint_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Marks an area of the drawing as to be copied to the screen at the next Show.
    void Changed(const QRect& area);
    const QPen& PenFor(Colour colour);
    // One painter stays open on the image from the first line drawn until the
    // picture is cleared or handed out, rather than one per line.
    QPainter& Painter();
    void EndPainting();

    QImage image_;
    std::unique_ptr<QPainter> painter_;
    QFont labelFont_;
    QColor background_;
    // The traces' pens, made once for each colour.
    std::vector<std::pair<Colour, QPen>> pens_;
    // What was drawn since the last repaint, in the drawing area's pixels.
    QRect changed_;
    QRect lastRepaint_;
    int repaints_ = 0;
};

} // namespace kavrin
