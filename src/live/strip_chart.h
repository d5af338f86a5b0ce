// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The live strip chart: one trace per checked channel over a fixed grid,
// advancing one column with every engine-speed frame and starting again at the
// left once it reaches the right edge.
#include "live/channels.h"
#include "live/chart_canvas.h"

#include <array>
#include <cstdint>

namespace kavrin {

class StripChart final : public LiveChart {
public:
    static constexpr Colour kGridColour = Rgb(160, 192, 160);
    static constexpr int kPlotLeft = 50;
    static constexpr int kLimitY = 3000;

    // txtEscala are the channels' scale boxes: chart units per shown unit.
    StripChart(ChartCanvas& canvas, const std::array<Control*, kMeasuredChannels>& txtEscala);

    // ChartUnit from the drawing area, then the empty grid.
    void Start() override;
    void DrawChartGrid();
    void PlotPoint(std::int16_t channel, float value, Colour colour, bool plotted) override;
    void Advance() override;
    void Show() override { canvas_.Show(); }

    // The y of a shown value at a scale, limited to -3000..3000.
    std::int32_t PointY(float value, double scale) const;

    std::int16_t ChartX = kPlotLeft;
    bool ChartRestart = true;
    std::array<std::int16_t, 31> TraceY{};
    // The column of each channel's last point in this sweep; 0 before the first.
    std::array<std::int16_t, 31> TraceX{};
    float ChartUnit = 0.0f; // pixels per chart unit

private:
    ChartCanvas& canvas_;
    std::array<Control*, kMeasuredChannels> txtEscala_;
};

} // namespace kavrin
