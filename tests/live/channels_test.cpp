#include "live/channels.h"
#include "live/live_cell.h"

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
constexpr DataFormatMode F = kFormattedData, R = kRawData;

class RecordingChart final : public LiveChart {
public:
    void PlotPoint(std::int16_t channel, float value, Colour colour, bool plotted) override {
        points.emplace_back(channel, value, colour, plotted);
    }
    void Advance() override { ++advances; }
    std::vector<Point> points;
    int advances = 0;
};

constexpr Colour kWindowBackground = Rgb(236, 233, 216);
constexpr Colour kBlue = Rgb(0, 0, 255), kRed = Rgb(255, 0, 0);
constexpr const char* kDegC = "\xC2\xBA"
                              "C";

// Pointers to the controls of one column of the channel rows.
template <typename T> auto Each(std::array<FakeControl, kMeasuredChannels>& column) {
    std::array<T*, kMeasuredChannels> pointers{};
    for (int i = 0; i < kMeasuredChannels; ++i) pointers[i] = &column[i];
    return pointers;
}
constexpr auto Boxes = &Each<CheckControl>;
constexpr auto Labels = &Each<Control>;

class ChannelsTest : public ::testing::Test {
protected:
    ChannelsTest() { config.FuelScale = 0.08f; }

    void Frame(int channel, std::int32_t value) {
        channels.ShowChannel(static_cast<std::int16_t>(channel), value);
    }

    std::array<FakeControl, kMeasuredChannels> chk, lblvalor, lblUnit, txtEscala;
    FakeControl lblCranking, lblselector, lblStop, lblPulse, lblFirst, lblAnticip;
    FakeControl txtTHRmin{"20"};
    ChannelControls controls{Boxes(chk),   Labels(lblvalor), Labels(lblUnit), Labels(txtEscala),
                             &lblCranking, &lblselector,     &lblStop,        &lblPulse,
                             &lblFirst,    &lblAnticip};
    RecordingChart chart;
    Configuration config;
    WindowState state = [] {
        WindowState s = test::StateIn(F);
        s.maps.ThrScale = 327; // THR MIN 20, THR MAX 220
        return s;
    }();
    LiveValueStore& LastValues = state.LastValues;
    float& ThrottlePercent = state.ThrottlePercent;
    std::int16_t& prescaleMultiplier = state.prescaleMultiplier;
    DataFormatMode& DataFormat = state.DataFormat;
    LiveChannels channels{controls, chart, config, state, txtTHRmin, kWindowBackground};
};

// Formatted, the value in its unit; raw, the count as received and no unit.
// The check box and the value label take the colour of the channel's trace.
TEST_F(ChannelsTest, EachChannelShowsItsValueUnitAndColour) {
    const std::tuple<int, std::int32_t, const char*, const char*> cases[] = {
        {0, 1024, "1000", "rpm"}, {0, 65535, "63999", "rpm"}, {1, 100, "35.2", "deg"},
        {2, 10, "0.00", "ms"},    {3, 1250, "1.00", "ms"},    {4, 10, "0.00", "ms"},
        {5, 120, "49.8", "%"},    {6, 255, "100.0", "%/s"},   {7, 80, "100.0", kDegC},
        {8, 0, "0.0", kDegC},     {9, 0, "9.0", "AFR"},       {9, 255, "19.0", "AFR"},
        {10, 5, "5.0", ""},       {11, 9, "9.0", ""},         {12, 7, "7", ""},
        {13, 7, "7.0", ""},       {14, 255, "5.00", ""},      {15, 51, "1.00", ""}};
    for (const auto& [channel, value, text, unit] : cases) {
        SCOPED_TRACE(std::to_string(channel) + " <- " + std::to_string(value));
        DataFormat = F;
        Frame(channel, value);
        EXPECT_EQ(lblvalor[channel].text, text);
        EXPECT_EQ(lblUnit[channel].text, unit);
        EXPECT_EQ(LastValues[channel], value);
        EXPECT_EQ(chk[channel].foreColour, std::get<2>(chart.points.back()));
        EXPECT_EQ(lblvalor[channel].foreColour, std::get<2>(chart.points.back()));
        DataFormat = R;
        Frame(channel, value);
        EXPECT_EQ(lblvalor[channel].text, std::to_string(value));
        EXPECT_EQ(lblUnit[channel].text, "");
    }
}

// Every frame hands its point over, drawn only when the channel is ticked;
// engineering units even in raw display. Engine speed advances the chart.
TEST_F(ChannelsTest, ChartGetsEveryPointAndAdvancesOnEngineSpeed) {
    chk[0].checked = true;
    Frame(0, 1024);
    Frame(1, 100);
    DataFormat = R;
    Frame(3, 1250);
    ASSERT_EQ(chart.points.size(), 3u);
    EXPECT_EQ(chart.points[0], (Point{0, 1000.0f, kBlue, true}));
    EXPECT_EQ(chart.points[1], (Point{1, 35.15625f, kRed, false}));
    EXPECT_FLOAT_EQ(std::get<1>(chart.points[2]), 1.0f);
    EXPECT_FALSE(std::get<3>(chart.points[2]));
    EXPECT_EQ(chart.advances, 1);
}

TEST_F(ChannelsTest, DelaysFollowThePrescalerTheEcuReports) {
    Frame(11, 3);
    EXPECT_EQ(prescaleMultiplier, 8);
    Frame(2, 10); // 10 x 8 x 0.08 ms
    EXPECT_EQ(lblvalor[2].text, "6.40");
    EXPECT_FLOAT_EQ(std::get<1>(chart.points.back()), 6.4f);
    Frame(11, 5); // not a power the ECU reports
    EXPECT_EQ(prescaleMultiplier, 8);
    Frame(11, 0);
    EXPECT_EQ(prescaleMultiplier, 1);
    Frame(4, 10);
    EXPECT_EQ(lblvalor[4].text, "0.80");
}

TEST_F(ChannelsTest, ThrottleIsThePercentOfTheSpanAboveThrMin) {
    // count, THR MIN text, 255ths of the span, shown
    const std::tuple<std::int32_t, const char*, int, const char*> cases[] = {
        {10, "20", 0, "0.0"},      {20, "20", 0, "0.0"}, {120, "20", 127, "49.8"},
        {220, "20", 255, "100.0"}, {20, "", 25, "9.8"},  {20, "abc", 25, "9.8"}};
    for (const auto& [count, thrMin, steps, shown] : cases) {
        SCOPED_TRACE(std::to_string(count) + " over " + thrMin);
        txtTHRmin.text = thrMin;
        Frame(5, count);
        EXPECT_FLOAT_EQ(ThrottlePercent, steps / 255.0f * 100);
        EXPECT_EQ(lblvalor[5].text, shown);
        EXPECT_EQ(lblUnit[5].text, "%");
    }
}

TEST_F(ChannelsTest, StatusBitsLightTheIndicators) {
    auto indicators = [this] {
        return std::tuple{lblCranking.backColour, lblselector.text,    lblStop.backColour,
                          lblPulse.text,          lblFirst.backColour, lblAnticip.backColour};
    };
    const Colour bg = kWindowBackground;
    Frame(16, 9);
    EXPECT_EQ(indicators(), std::tuple(kBlue, "0", bg, "HL", bg, bg));
    EXPECT_TRUE(chart.points.empty());
    EXPECT_EQ(chart.advances, 0);
    Frame(16, 2 + 4 + 16 + 32 + 64);
    EXPECT_EQ(indicators(), std::tuple(bg, "1", kRed, "LH", kBlue, kBlue));
    Frame(16, 0);
    EXPECT_EQ(indicators(), std::tuple(bg, "0", bg, "LH", bg, bg));
}

TEST_F(ChannelsTest, FramesOfNoChannelAndMissingControlsAreHarmless) {
    for (int channel : {33, 17, -1, -2}) Frame(channel, 1000); // "Q", "A", "/", "."
    EXPECT_EQ(LastValues, LiveValueStore{});
    for (const FakeControl& l : lblvalor) EXPECT_EQ(l.textWrites, 0);
    EXPECT_EQ(lblCranking.backColour, 0u);
    EXPECT_TRUE(chart.points.empty());

    const ChannelControls none;
    LiveChannels bare{none, chart, config, state, *NoControl(), kWindowBackground};
    for (std::int16_t ch = 0; ch <= 16; ++ch) bare.ShowChannel(ch, 50);
    EXPECT_EQ(chart.points.size(), 16u);
    EXPECT_EQ(LastValues[16], 50);
}

// 1024 counts per column of 1000 rpm; rows of 6.25 % throttle up to 25 %,
// then of 12.5 %.
TEST(LiveCell, OperatingPointInTheFuelMap) {
    const std::tuple<std::int32_t, float, int, int> cases[] = {
        {0, 0, 1, 1},     {1023, 0, 1, 1},   {1024, 0, 1, 1},    {2047, 0, 1, 1},
        {2048, 0, 2, 1},  {15360, 0, 15, 1}, {65535, 0, 63, 1},  {0, 6.25f, 1, 2},
        {0, 24.0f, 1, 4}, {0, 25.0f, 1, 5},  {0, 26.0f, 1, 5},   {0, 37.5f, 1, 6},
        {0, 50.0f, 1, 7}, {0, 99.9f, 1, 10}, {0, 100.0f, 1, 11}, {0, 1e9f, 1, 32767}};
    for (const auto& [rpmCount, throttle, col, row] : cases) {
        const LiveCellPosition p = LocateLiveCell(rpmCount, throttle);
        EXPECT_EQ(std::tuple(p.LiveCol, p.LiveRow), std::tuple(col, row))
            << rpmCount << " " << throttle;
    }
    // The fractions are kept for the marker.
    const LiveCellPosition p = LocateLiveCell(1536, 50.0f);
    EXPECT_DOUBLE_EQ(p.n, 1.5);
    EXPECT_DOUBLE_EQ(p.r, 6.0);
}

} // namespace
} // namespace kavrin
