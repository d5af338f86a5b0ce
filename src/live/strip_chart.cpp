// SPDX-License-Identifier: GPL-3.0-or-later
#include "live/strip_chart.h"

#include "base/modulo.h"

#include <algorithm>
#include <cmath>

namespace kavrin {

StripChart::StripChart(ChartCanvas& canvas,
                       const std::array<Control*, kMeasuredChannels>& txtEscala)
    : canvas_(canvas), txtEscala_(txtEscala) {}

void StripChart::Start() {
    // 0 to 100 chart units fill the area less a margin for the top label.
    ChartUnit = static_cast<float>(canvas_.Height() - 12) / 100.0f;
    DrawChartGrid();
}

void StripChart::DrawChartGrid() {
    ChartRestart = true;
    TraceX.fill(0);
    canvas_.Clear();
    const int W = static_cast<std::int16_t>(canvas_.Width());
    const int H = canvas_.Height();
    for (int x = kPlotLeft; x <= W; x += 100) canvas_.Line(x, 0, x, H, kGridColour);
    for (int i = 0; i <= 100; i += 10) {
        const int y =
            static_cast<int>(std::nearbyint((H - 1) - i * static_cast<double>(ChartUnit)));
        canvas_.Line(kPlotLeft, y, W, y, kGridColour);
        const std::string label = DecimalText(i);
        canvas_.Print(kPlotLeft - canvas_.TextWidth(label) - 10, y - 6, label, Rgb(0, 0, 0));
        canvas_.Print(5, y - 6, DecimalText(i / 2), Rgb(255, 0, 0));
    }
    canvas_.Line(kPlotLeft, 0, W, 0, kGridColour);
    ChartX = kPlotLeft;
}

std::int32_t StripChart::PointY(float value, double scale) const {
    const double y = (canvas_.Height() - 1) -
                     static_cast<double>(value) * scale * static_cast<double>(ChartUnit);
    // Limited before the conversion, so a wild value or scale cannot overflow it.
    if (std::isnan(y)) return kLimitY;
    return static_cast<std::int32_t>(
        std::nearbyint(std::clamp(y, static_cast<double>(-kLimitY), static_cast<double>(kLimitY))));
}

void StripChart::PlotPoint(std::int16_t channel, float value, Colour colour, bool plotted) {
    if (channel < 0 || channel >= kMeasuredChannels) return;
    const Control* box = txtEscala_[channel];
    const std::int32_t y = PointY(value, ReadNumber(box ? box->Text() : std::string()));
    // A channel that comes less often than engine speed (the ECU may send
    // engine speed every other frame) joins its last point across the columns
    // in between, rather than leaving a one-pixel dash per value.
    const int last = TraceX[channel];
    const int fromX = last >= kPlotLeft && last < ChartX - 1 ? last : ChartX - 1;
    if (plotted && !ChartRestart) canvas_.Line(ChartX, y, fromX, TraceY[channel], colour);
    TraceY[channel] = static_cast<std::int16_t>(y);
    TraceX[channel] = ChartX;
}

void StripChart::Advance() {
    ++ChartX;
    ChartRestart = false;
    if (ChartX > canvas_.Width()) DrawChartGrid();
}

} // namespace kavrin
