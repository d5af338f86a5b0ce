// SPDX-License-Identifier: GPL-3.0-or-later
// The strip chart on a recording canvas of 723 x 262 pixels (2.5 pixels a
// chart unit): the grid, where points land, and when a trace starts again.
#include "live/strip_chart.h"
#include "support/fake_controls.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

namespace kavrin::test {
namespace {

using Segment = std::array<int, 4>; // x1, y1, x2, y2
using Label = std::tuple<int, int, std::string, Colour>;

struct RecordingCanvas final : ChartCanvas {
    int Width() const override { return 723; }
    int Height() const override { return 262; }
    void Clear() override {
        grid.clear();
        trace.clear();
        labels.clear();
    }
    void Line(int x1, int y1, int x2, int y2, Colour colour) override {
        (colour == StripChart::kGridColour ? grid : trace).push_back({x1, y1, x2, y2});
    }
    void Print(int x, int top, const std::string& text, Colour colour) override {
        labels.emplace_back(x, top, text, colour);
    }
    int TextWidth(const std::string& s) const override { return 7 * static_cast<int>(s.size()); }
    std::vector<Segment> grid, trace;
    std::vector<Label> labels;
};

struct Chart {
    explicit Chart(const char* scale = "1") {
        for (FakeControl& box : boxes) box.text = scale;
        chart.Start();
    }
    RecordingCanvas canvas;
    std::array<FakeControl, kMeasuredChannels> boxes;
    StripChart chart{canvas, [this] {
                         std::array<Control*, kMeasuredChannels> txtEscala{};
                         for (int n = 0; n < kMeasuredChannels; ++n) txtEscala[n] = &boxes[n];
                         return txtEscala;
                     }()};
};

TEST(StripChart, GridHasItsLinesAndBothLabelColumns) {
    Chart c;
    std::vector<int> vertical, horizontal;
    for (const auto& [x1, y1, x2, y2] : c.canvas.grid) {
        if (x1 == x2) {
            vertical.push_back(x1);
            EXPECT_EQ(std::tuple(y1, y2), std::tuple(0, 262));
        } else {
            horizontal.push_back(y1);
            EXPECT_EQ(std::tuple(x1, x2, y2), std::tuple(50, 723, y1));
        }
    }
    EXPECT_EQ(vertical, (std::vector<int>{50, 150, 250, 350, 450, 550, 650}));
    EXPECT_EQ(horizontal, (std::vector<int>{261, 236, 211, 186, 161, 136, 111, 86, 61, 36, 11, 0}));
    ASSERT_EQ(c.canvas.labels.size(), 22u);
    // 100 in black right-aligned 10 px before the plot; the same line read as 50 in red.
    EXPECT_EQ(c.canvas.labels[20], Label(50 - 21 - 10, 11 - 6, "100", Rgb(0, 0, 0)));
    EXPECT_EQ(c.canvas.labels[21], Label(5, 11 - 6, "50", Rgb(255, 0, 0)));
}

// Each step advances the chart some columns (engine-speed frames), then plots
// one point; the chart starts with its grid freshly drawn, at column 50.
TEST(StripChart, TracesJoinEachChannelsPointsColumnByColumn) {
    struct Step {
        int columns, channel;
        float value;
        bool plotted = true;
    };
    struct Case {
        const char* scale;
        std::vector<Step> steps;
        std::vector<Segment> drawn;
    };
    const Case cases[] = {
        // 40 at scale 1 is 100 px up; the first column after the grid is not drawn.
        {"1", {{0, 3, 0}, {1, 3, 40}}, {{51, 161, 50, 261}}},
        // 1000 rpm at the engine speed's default scale reaches the top line.
        {"0.1", {{0, 0, 0}, {1, 0, 1000}}, {{51, 11, 50, 261}}},
        // A scale that is no number plots at zero.
        {"abc", {{0, 3, 0}, {1, 3, 40}}, {{51, 261, 50, 261}}},
        // Wild values are limited.
        {"1",
         {{0, 3, 0}, {1, 3, 1e9f}, {1, 3, -1e9f}},
         {{51, -3000, 50, 261}, {52, 3000, 51, -3000}}},
        // An unticked channel draws nothing but keeps its point.
        {"1", {{1, 5, 40, false}, {1, 5, 0}}, {{52, 261, 51, 161}}},
        // A sparse channel joins across the columns between; twice in one
        // column, the second segment starts one column back.
        {"1",
         {{1, 7, 10}, {4, 7, 20}, {0, 7, 30}},
         {{51, 236, 50, 0}, {55, 211, 51, 236}, {55, 186, 54, 211}}},
        // Past the right edge: a new grid, whose first column is not drawn.
        {"1", {{2, 1, 10}, {672, 1, 20}, {1, 1, 30}}, {{51, 186, 50, 211}}},
        // A new sweep does not join the last sweep's points.
        {"1", {{2, 1, 10}, {677, 1, 20}}, {{55, 211, 54, 236}}},
        // Channels outside the table are ignored.
        {"1", {{1, 16, 1}, {0, -1, 1}}, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(&k - cases);
        Chart c(k.scale);
        for (const Step& s : k.steps) {
            for (int i = 0; i < s.columns; ++i) c.chart.Advance();
            c.chart.PlotPoint(static_cast<std::int16_t>(s.channel), s.value, Rgb(0, 0, 255),
                              s.plotted);
        }
        EXPECT_EQ(c.canvas.trace, k.drawn);
    }
}

} // namespace
} // namespace kavrin::test
