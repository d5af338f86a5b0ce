// The strip chart on a recording canvas: where points land, what the grid
// looks like, and when a trace starts again.
#include "live/strip_chart.h"
#include "support/fake_controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kavrin::test {
namespace {

struct RecordingCanvas final : ChartCanvas {
    struct Segment {
        int x1, y1, x2, y2;
        Colour colour;
    };
    struct Label {
        int x, top;
        std::string text;
        Colour colour;
    };
    RecordingCanvas(int w, int h) : width(w), height(h) {}
    int Width() const override { return width; }
    int Height() const override { return height; }
    void Clear() override {
        ++clears;
        lines.clear();
        texts.clear();
    }
    void Line(int x1, int y1, int x2, int y2, Colour colour) override {
        lines.push_back({x1, y1, x2, y2, colour});
    }
    void Print(int x, int top, const std::string& text, Colour colour) override {
        texts.push_back({x, top, text, colour});
    }
    // Seven pixels a character.
    int TextWidth(const std::string& text) const override {
        return 7 * static_cast<int>(text.size());
    }
    std::vector<Segment> LinesOf(Colour colour) const {
        std::vector<Segment> out;
        for (const auto& l : lines)
            if (l.colour == colour) out.push_back(l);
        return out;
    }

    int width, height;
    int clears = 0;
    std::vector<Segment> lines;
    std::vector<Label> texts;
};

constexpr Colour kTrace = Rgb(0, 0, 255);

struct Chart {
    explicit Chart(int w = 723, int h = 262) : canvas(w, h) {
        for (auto& s : scale) s.text = "1";
        chart.Start();
    }
    // One engine-speed frame (not plotted) moves the chart one column on.
    void Column() { chart.Advance(); }

    RecordingCanvas canvas;
    FakeControl scale[kMeasuredChannels];
    std::array<Control*, kMeasuredChannels> boxes = [this] {
        std::array<Control*, kMeasuredChannels> b{};
        for (int n = 0; n < kMeasuredChannels; ++n) b[n] = &scale[n];
        return b;
    }();
    StripChart chart{canvas, boxes};
};

TEST(StripChart, ChartUnitLeavesATwelvePixelMargin) {
    Chart c(723, 262);
    EXPECT_FLOAT_EQ(c.chart.ChartUnit, 2.5f);
    Chart design(723, 273);
    EXPECT_FLOAT_EQ(design.chart.ChartUnit, 2.61f);
}

TEST(StripChart, PointsLandAtTheirScaledHeight) {
    struct Case {
        const char* scale;
        float value;
        int y; // with H = 262, ChartUnit 2.5
    };
    const Case cases[] = {
        {"1", 40.0f, 261 - 100}, {"0.5", 40.0f, 261 - 50}, {"1", 0.0f, 261},
        {"abc", 40.0f, 261},     {"1", -4.0f, 271},        {"1", 1e9f, -3000},
        {"-1", 1e9f, 3000},      {"2x", 10.0f, 261 - 50},
    };
    for (const Case& k : cases) {
        Chart c;
        c.scale[3].text = k.scale;
        c.chart.PlotPoint(3, 0.0f, kTrace, true); // first column after the grid: not drawn
        c.Column();
        c.chart.PlotPoint(3, k.value, kTrace, true);
        const auto lines = c.canvas.LinesOf(kTrace);
        ASSERT_EQ(lines.size(), 1u) << k.scale << " " << k.value;
        EXPECT_EQ(lines[0].x1, 51);
        EXPECT_EQ(lines[0].y1, k.y) << k.scale << " " << k.value;
        EXPECT_EQ(lines[0].x2, 50);
        EXPECT_EQ(lines[0].y2, 261);
        EXPECT_EQ(c.chart.TraceY[3], k.y);
    }
}

TEST(StripChart, EngineSpeedAtItsDefaultScaleReachesTheTopLineAt1000Rpm) {
    Chart c(723, 273);
    c.scale[0].text = "0.1";
    c.chart.PlotPoint(0, 1000.0f, kTrace, true);
    int top = -1;
    for (const auto& l : c.canvas.LinesOf(StripChart::kGridColour))
        if (l.x1 == 50 && l.y1 == l.y2 && l.y1 > 0) top = top < 0 ? l.y1 : std::min(top, l.y1);
    EXPECT_EQ(c.chart.TraceY[0], top);
    EXPECT_EQ(top, 11);
}

TEST(StripChart, GridHasItsLinesAndBothLabelColumns) {
    Chart c(723, 262);
    std::vector<int> vertical, horizontal;
    for (const auto& l : c.canvas.LinesOf(StripChart::kGridColour)) {
        if (l.x1 == l.x2) {
            vertical.push_back(l.x1);
            EXPECT_EQ(l.y1, 0);
            EXPECT_EQ(l.y2, 262);
        } else {
            horizontal.push_back(l.y1);
            EXPECT_EQ(l.x1, 50);
            EXPECT_EQ(l.x2, 723);
        }
    }
    EXPECT_EQ(vertical, (std::vector<int>{50, 150, 250, 350, 450, 550, 650}));
    EXPECT_EQ(horizontal, (std::vector<int>{261, 236, 211, 186, 161, 136, 111, 86, 61, 36, 11, 0}));
    ASSERT_EQ(c.canvas.texts.size(), 22u);
    // i = 100: black "100" right-aligned 10 px before the plot, red "50" at x = 5.
    const auto& black = c.canvas.texts[20];
    EXPECT_EQ(black.text, "100");
    EXPECT_EQ(black.x, 50 - 21 - 10);
    EXPECT_EQ(black.top, 11 - 6);
    EXPECT_EQ(black.colour, Rgb(0, 0, 0));
    const auto& red = c.canvas.texts[21];
    EXPECT_EQ(red.text, "50");
    EXPECT_EQ(red.x, 5);
    EXPECT_EQ(red.colour, Rgb(255, 0, 0));
    EXPECT_EQ(c.chart.ChartX, 50);
    EXPECT_TRUE(c.chart.ChartRestart);
}

TEST(StripChart, UncheckedChannelDrawsNothingButKeepsItsLastPoint) {
    Chart c;
    c.Column();
    c.chart.PlotPoint(5, 40.0f, kTrace, false);
    EXPECT_TRUE(c.canvas.LinesOf(kTrace).empty());
    EXPECT_EQ(c.chart.TraceY[5], 161);
    // Checked later, the trace starts from that point.
    c.Column();
    c.chart.PlotPoint(5, 0.0f, kTrace, true);
    ASSERT_EQ(c.canvas.LinesOf(kTrace).size(), 1u);
    EXPECT_EQ(c.canvas.LinesOf(kTrace)[0].y2, 161);
}

TEST(StripChart, RestartAtTheRightEdgeSkipsTheFirstColumn) {
    Chart c(60, 262);
    for (int i = 0; i < 10; ++i) {
        c.Column();
        c.chart.PlotPoint(1, 10.0f, kTrace, true);
    }
    EXPECT_EQ(c.chart.ChartX, 60);
    EXPECT_EQ(c.canvas.clears, 1);
    c.Column(); // past the edge: the grid again
    EXPECT_EQ(c.canvas.clears, 2);
    EXPECT_EQ(c.chart.ChartX, 50);
    c.chart.PlotPoint(1, 10.0f, kTrace, true);
    EXPECT_TRUE(c.canvas.LinesOf(kTrace).empty());
    c.Column();
    c.chart.PlotPoint(1, 10.0f, kTrace, true);
    ASSERT_EQ(c.canvas.LinesOf(kTrace).size(), 1u);
    EXPECT_EQ(c.canvas.LinesOf(kTrace)[0].x1, 51);
}

TEST(StripChart, SparseChannelJoinsItsLastPointAcrossTheColumnsBetween) {
    Chart c;
    c.Column();
    c.chart.PlotPoint(7, 10.0f, kTrace, true); // column 51
    for (int i = 0; i < 4; ++i) c.Column();
    c.chart.PlotPoint(7, 20.0f, kTrace, true); // column 55
    const auto lines = c.canvas.LinesOf(kTrace);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].x1, 55);
    EXPECT_EQ(lines[1].y1, 211);
    EXPECT_EQ(lines[1].x2, 51);
    EXPECT_EQ(lines[1].y2, 236);
    // Twice in one column: the second segment starts one column back, as every
    // point of a channel that keeps pace with engine speed does.
    c.chart.PlotPoint(7, 30.0f, kTrace, true);
    EXPECT_EQ(c.canvas.LinesOf(kTrace)[2].x2, 54);
    // A new sweep does not join the last sweep's points.
    for (int i = 0; i < 700; ++i) c.Column();
    c.Column();
    c.chart.PlotPoint(7, 30.0f, kTrace, true);
    const auto after = c.canvas.LinesOf(kTrace);
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after.back().x2, after.back().x1 - 1);
}

TEST(StripChart, ChannelsOutsideTheTableAreIgnored) {
    Chart c;
    c.Column();
    c.chart.PlotPoint(16, 1.0f, kTrace, true);
    c.chart.PlotPoint(-1, 1.0f, kTrace, true);
    EXPECT_TRUE(c.canvas.LinesOf(kTrace).empty());
}

} // namespace
} // namespace kavrin::test
