// SPDX-License-Identifier: GPL-3.0-or-later
// Live frames as the channel rows, the status indicators and the chart get
// them.
#include "live/channels.h"

#include "support/fake_controls.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace kavrin {
namespace {

using test::FakeControl;
using Point = std::tuple<int, float, Colour, bool>; // channel, value, colour, plotted

struct RecordingChart final : LiveChart {
    void PlotPoint(std::int16_t channel, float value, Colour colour, bool plotted) override {
        points.emplace_back(channel, value, colour, plotted);
    }
    void Advance() override { ++advances; }
    std::vector<Point> points;
    int advances = 0;
};

constexpr Colour kBackground = Rgb(236, 233, 216);
constexpr Colour kBlue = Rgb(0, 0, 255), kRed = Rgb(255, 0, 0), kBlack = Rgb(0, 0, 0);

// THR MIN 20 and THR MAX 220 (ThrScale 327); an EFI factor of 100 (0.08 ms).
struct Channels {
    Channels() {
        config.FuelScale = 0.08f;
        state.maps.ThrScale = 327;
        for (int n = 0; n < kMeasuredChannels; ++n) {
            controls.chk[n] = &chk[n];
            controls.lblvalor[n] = &lblvalor[n];
            controls.lblUnit[n] = &lblUnit[n];
            chk[n].checked = n % 2 == 0;
        }
        Control** lit[] = {&controls.lblCranking, &controls.lblselector, &controls.lblStop,
                           &controls.lblPulse,    &controls.lblFirst,    &controls.lblAnticip};
        for (int i = 0; i < 6; ++i) *lit[i] = &lights[i];
    }
    std::array<FakeControl, kMeasuredChannels> chk, lblvalor, lblUnit;
    std::array<FakeControl, 6> lights;
    FakeControl txtTHRmin{"20"};
    ChannelControls controls;
    RecordingChart chart;
    Configuration config;
    WindowState state;
    LiveChannels channels{controls, chart, config, state, txtTHRmin, kBackground};
};

// One frame after another, each shown formatted and then raw at the next
// refresh. Formatted, the value in its unit; raw, the count as received and no
// unit. Rows for the channels whose scale is a plain factor of the channel
// table would only restate it; one of them (ignition) stands for all. The chart gets
// the value in its unit either way, drawn when the channel is ticked (here the
// even ones), and engine speed moves it one column on.
TEST(LiveChannels, EachFrameShowsItsValueUnitAndColour) {
    struct Case {
        int channel;
        std::int32_t value;
        const char* text;
        const char* unit;
        Colour colour;
        const char* thrMin = "20";
    };
    const Case cases[] = {
        {0, 1024, "1000", "rpm", kBlue},
        {1, 100, "35.2", "deg", kRed},
        {2, 10, "0.00", "ms", Rgb(0, 255, 255)}, // no prescaler reported yet
        {11, 3, "3.0", "", kRed},                // 2^3
        {2, 10, "6.40", "ms", Rgb(0, 255, 255)}, // 10 x 8 x 0.08 ms
        {11, 5, "5.0", "", kRed},                // not a power the ECU reports: still 8
        {4, 10, "6.40", "ms", Rgb(0, 255, 0)},
        {3, 1250, "1.00", "ms", kBlack},
        {5, 10, "0.0", "%", Rgb(255, 128, 0)}, // below THR MIN
        {5, 120, "49.8", "%", Rgb(255, 128, 0)},
        {5, 220, "100.0", "%", Rgb(255, 128, 0)},
        {5, 20, "9.8", "%", Rgb(255, 128, 0), "abc"}, // a THR MIN that is no number is 0
        {9, 255, "19.0", "AFR", kRed},
    };
    Channels c;
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.channel) + " <- " + std::to_string(k.value));
        c.txtTHRmin.text = k.thrMin;
        for (DataFormatMode mode : {kFormattedData, kRawData}) {
            c.state.DataFormat = mode;
            const int advances = c.chart.advances;
            c.channels.ShowChannel(static_cast<std::int16_t>(k.channel), k.value);
            c.channels.Refresh();
            const bool raw = mode == kRawData;
            EXPECT_EQ(c.lblvalor[k.channel].text, raw ? std::to_string(k.value) : k.text);
            EXPECT_EQ(c.lblUnit[k.channel].text, raw ? "" : k.unit);
            EXPECT_EQ(std::pair(c.lblvalor[k.channel].foreColour, c.chk[k.channel].foreColour),
                      std::pair(k.colour, k.colour));
            EXPECT_EQ(c.state.LastValues[k.channel], k.value);
            const auto& [channel, value, colour, plotted] = c.chart.points.back();
            EXPECT_EQ(std::tuple(channel, colour, plotted),
                      std::tuple(k.channel, k.colour, k.channel % 2 == 0));
            EXPECT_NEAR(value, std::stod(k.text), 0.051);
            EXPECT_EQ(c.chart.advances - advances, k.channel == 0 ? 1 : 0);
        }
    }
}

TEST(LiveChannels, StatusBitsLightTheIndicatorsAndOtherFramesAreIgnored) {
    Channels c;
    auto shown = [&c] {
        const auto& i = c.lights;
        return std::tuple{i[0].backColour, i[1].text,       i[2].backColour,
                          i[3].text,       i[4].backColour, i[5].backColour};
    };
    c.channels.ShowChannel(16, 9);
    c.channels.Refresh();
    EXPECT_EQ(shown(), std::tuple(kBlue, "0", kBackground, "HL", kBackground, kBackground));
    c.channels.ShowChannel(16, 2 + 4 + 16 + 32 + 64);
    c.channels.Refresh();
    EXPECT_EQ(shown(), std::tuple(kBackground, "1", kRed, "LH", kBlue, kBlue));
    c.channels.ShowChannel(16, 0);
    c.channels.Refresh();
    EXPECT_EQ(shown(), std::tuple(kBackground, "0", kBackground, "LH", kBackground, kBackground));
    for (std::int16_t channel : {33, 17, -1, -2})
        c.channels.ShowChannel(channel, 1000); // "Q", "A", "/", "."
    c.channels.Refresh();
    EXPECT_EQ(c.state.LastValues, LiveValueStore{});
    EXPECT_TRUE(c.chart.points.empty());
    EXPECT_EQ(c.chart.advances, 0);
    for (const FakeControl& label : c.lblvalor) EXPECT_EQ(label.textWrites, 0);
}

} // namespace
} // namespace kavrin
