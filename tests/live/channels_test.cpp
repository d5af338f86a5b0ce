#include "live/channels.h"
#include "live/live_cell.h"

#include "support/fake_controls.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace kavrin {
namespace {

using test::FakeControl;

struct Point {
    int channel;
    float value;
    Colour colour;
    bool plotted;
    bool operator==(const Point&) const = default;
    friend std::ostream& operator<<(std::ostream& os, const Point& p) {
        return os << "ch" << p.channel << " " << p.value << " colour " << p.colour
                  << (p.plotted ? " plotted" : " not plotted");
    }
};

class RecordingChart final : public LiveChart {
public:
    void PlotPoint(std::int16_t channel, float value, Colour colour, bool plotted) override {
        points.push_back({channel, value, colour, plotted});
    }
    void Advance() override { ++advances; }
    std::vector<Point> points;
    int advances = 0;
};

constexpr Colour kWindowBackground = Rgb(236, 233, 216);
constexpr Colour kBlue = Rgb(0, 0, 255);
constexpr Colour kRed = Rgb(255, 0, 0);

class ChannelsTest : public ::testing::Test {
protected:
    ChannelsTest() {
        for (int i = 0; i < kMeasuredChannels; ++i) {
            const ChannelInitialTexts initial = InitialChannelTexts(i);
            lblvalor[i].text = initial.lblvalor;
            lblUnit[i].text = initial.lblUnit;
            txtEscala[i].text = initial.txtEscala;
        }
        config.FuelScale = 0.08f;
    }

    ChannelControls Controls() {
        ChannelControls c;
        for (int i = 0; i < kMeasuredChannels; ++i) {
            c.chk[i] = &chk[i];
            c.lblvalor[i] = &lblvalor[i];
            c.lblUnit[i] = &lblUnit[i];
            c.txtEscala[i] = &txtEscala[i];
        }
        c.lblCranking = &lblCranking;
        c.lblselector = &lblselector;
        c.lblStop = &lblStop;
        c.lblPulse = &lblPulse;
        c.lblFirst = &lblFirst;
        c.lblAnticip = &lblAnticip;
        return c;
    }

    void Frame(int channel, std::int32_t value) {
        const std::int16_t ch = static_cast<std::int16_t>(channel);
        channels.ShowChannel(ch, value);
    }

    std::array<FakeControl, kMeasuredChannels> chk, lblvalor, lblUnit, txtEscala;
    FakeControl lblCranking, lblselector, lblStop, lblPulse, lblFirst, lblAnticip;
    FakeControl txtTHRmin{"20"};
    ChannelControls controls = Controls();
    RecordingChart chart;
    Configuration config;
    LiveValueStore LastValues{};
    float ThrottlePercent = 0;
    std::int16_t prescaleMultiplier = 0;
    std::int32_t ThrScale = 327; // THR MIN 20, THR MAX 220
    DataFormatMode DataFormat = kFormattedData;
    LiveChannels channels{controls,           chart,    config,     LastValues, ThrottlePercent,
                          prescaleMultiplier, ThrScale, DataFormat, &txtTHRmin, kWindowBackground};
};

// --- Value and unit labels ----------------------------------------------------

struct ShownCase {
    int channel;
    std::int32_t value;
    DataFormatMode mode;
    const char* text;
    const char* unit;
};

class ChannelLabels : public ChannelsTest, public ::testing::WithParamInterface<ShownCase> {};

TEST_P(ChannelLabels, ValueAndUnit) {
    const ShownCase& c = GetParam();
    DataFormat = c.mode;
    Frame(c.channel, c.value);
    EXPECT_EQ(lblvalor[c.channel].text, c.text);
    EXPECT_EQ(lblUnit[c.channel].text, c.unit);
    EXPECT_EQ(LastValues[c.channel], c.value);
}

INSTANTIATE_TEST_SUITE_P(Formatted, ChannelLabels,
                         ::testing::Values(ShownCase{0, 1024, kFormattedData, "1000", "rpm"},
                                           ShownCase{0, 65535, kFormattedData, "63999", "rpm"},
                                           ShownCase{1, 100, kFormattedData, "35.2", "deg"},
                                           ShownCase{3, 1250, kFormattedData, "1.00", "ms"},
                                           ShownCase{6, 255, kFormattedData, "100.0", "%/s"},
                                           ShownCase{7, 80, kFormattedData, "100.0",
                                                     "\xC2\xBA"
                                                     "C"},
                                           ShownCase{8, 0, kFormattedData, "0.0",
                                                     "\xC2\xBA"
                                                     "C"},
                                           ShownCase{9, 0, kFormattedData, "9.0", "AFR"},
                                           ShownCase{9, 255, kFormattedData, "19.0", "AFR"},
                                           ShownCase{10, 5, kFormattedData, "5.0", ""},
                                           ShownCase{11, 9, kFormattedData, "9.0", ""},
                                           ShownCase{12, 7, kFormattedData, "7", ""},
                                           ShownCase{13, 7, kFormattedData, "7.0", ""},
                                           ShownCase{14, 255, kFormattedData, "5.00", ""},
                                           ShownCase{15, 51, kFormattedData, "1.00", ""}));

INSTANTIATE_TEST_SUITE_P(Raw, ChannelLabels,
                         ::testing::Values(ShownCase{0, 1024, kRawData, "1024", ""},
                                           ShownCase{3, 1250, kRawData, "1250", ""},
                                           ShownCase{5, 120, kRawData, "120", ""},
                                           ShownCase{9, 255, kRawData, "255", ""},
                                           ShownCase{7, 65535, kRawData, "65535", ""}));

TEST_F(ChannelsTest, RowsStartWithTheirInitialTexts) {
    EXPECT_EQ(lblvalor[0].text, "0");
    EXPECT_EQ(lblUnit[15].text, "x");
    const char* scales[kMeasuredChannels] = {"0.1", "1", "1", "5", "1", "1", "5", "1",
                                             "1",   "1", "1", "1", "1", "1", "1", "1"};
    for (int i = 0; i < kMeasuredChannels; ++i) EXPECT_EQ(txtEscala[i].text, scales[i]) << i;
}

TEST_F(ChannelsTest, TableNamesAndTraceColours) {
    const auto& table = ChannelTable();
    const char* names[kMeasuredChannels] = {
        "RPM",   "IGN",    "IGN_DEL", "EFI",       "EFI_DEL", "THR",   "THRa",  "TEMP1",
        "TEMP2", "LAMBDA", "MAP",     "prescaler", "COMP",    "COMP2", "VOLT1", "VOLT2"};
    const Colour colours[kMeasuredChannels] = {kBlue,
                                               kRed,
                                               Rgb(0, 255, 255),
                                               Rgb(0, 0, 0),
                                               Rgb(0, 255, 0),
                                               Rgb(255, 128, 0),
                                               Rgb(255, 0, 255),
                                               Rgb(0, 0, 0),
                                               Rgb(0, 0, 0),
                                               kRed,
                                               kRed,
                                               kRed,
                                               kRed,
                                               kRed,
                                               kRed,
                                               kRed};
    for (int i = 0; i < kMeasuredChannels; ++i) {
        EXPECT_STREQ(table[i].name, names[i]) << i;
        EXPECT_EQ(table[i].colour, colours[i]) << i;
    }
}

TEST_F(ChannelsTest, LabelsAndCheckBoxTakeTheTraceColour) {
    Frame(5, 0);
    EXPECT_EQ(chk[5].foreColour, Rgb(255, 128, 0));
    EXPECT_EQ(lblvalor[5].foreColour, Rgb(255, 128, 0));
}

// --- Chart --------------------------------------------------------------------

TEST_F(ChannelsTest, EngineSpeedIsPlottedAndAdvancesTheChart) {
    chk[0].checked = true;
    Frame(0, 1024);
    EXPECT_EQ(chart.points, (std::vector<Point>{{0, 1000.0f, kBlue, true}}));
    EXPECT_EQ(chart.advances, 1);
}

TEST_F(ChannelsTest, UncheckedChannelsHandTheirPointOverUndrawn) {
    Frame(1, 100);
    DataFormat = kRawData;
    Frame(3, 1250); // raw display, engineering units on the chart all the same
    ASSERT_EQ(chart.points.size(), 2u);
    EXPECT_EQ(chart.points[0], (Point{1, 35.15625f, kRed, false}));
    EXPECT_EQ(chart.points[1].plotted, false);
    EXPECT_FLOAT_EQ(chart.points[1].value, 1.0f);
    EXPECT_EQ(chart.advances, 0);
}

// --- Prescaled delays ----------------------------------------------------------

TEST_F(ChannelsTest, DelaysFollowThePrescalerTheEcuReports) {
    Frame(2, 10);
    Frame(4, 10);
    EXPECT_EQ(lblvalor[2].text, "0.00");
    EXPECT_EQ(lblvalor[4].text, "0.00");

    Frame(11, 3);
    EXPECT_EQ(prescaleMultiplier, 8);
    Frame(2, 10); // 10 x 8 x 0.08 ms
    EXPECT_EQ(lblvalor[2].text, "6.40");
    EXPECT_EQ(lblUnit[2].text, "ms");
    EXPECT_FLOAT_EQ(chart.points.back().value, 6.4f);

    Frame(11, 5);
    EXPECT_EQ(prescaleMultiplier, 8);
    Frame(11, 0);
    EXPECT_EQ(prescaleMultiplier, 1);
    Frame(4, 10);
    EXPECT_EQ(lblvalor[4].text, "0.80");
}

// --- Throttle -----------------------------------------------------------------

struct ThrottleCase {
    std::int32_t count;
    const char* thrMin;
    float percent;
    const char* shown;
};

class Throttle : public ChannelsTest, public ::testing::WithParamInterface<ThrottleCase> {};

TEST_P(Throttle, PercentOfTheSpan) {
    txtTHRmin.text = GetParam().thrMin;
    Frame(5, GetParam().count);
    EXPECT_FLOAT_EQ(ThrottlePercent, GetParam().percent);
    EXPECT_EQ(lblvalor[5].text, GetParam().shown);
    EXPECT_EQ(lblUnit[5].text, "%");
}

INSTANTIATE_TEST_SUITE_P(Throttle, Throttle,
                         ::testing::Values(ThrottleCase{10, "20", 0.0f, "0.0"},
                                           ThrottleCase{20, "20", 0.0f, "0.0"},
                                           ThrottleCase{120, "20", 127 / 255.0f * 100, "49.8"},
                                           ThrottleCase{220, "20", 100.0f, "100.0"},
                                           ThrottleCase{20, "", 25 / 255.0f * 100, "9.8"},
                                           ThrottleCase{20, "abc", 25 / 255.0f * 100, "9.8"}));

// --- Status bits ----------------------------------------------------------------

TEST_F(ChannelsTest, StatusBitsLightTheIndicators) {
    Frame(16, 9);
    EXPECT_EQ(lblCranking.backColour, kBlue);
    EXPECT_EQ(lblPulse.text, "HL");
    EXPECT_EQ(lblselector.text, "0");
    EXPECT_EQ(lblStop.backColour, kWindowBackground);
    EXPECT_EQ(LastValues[16], 9);
    EXPECT_TRUE(chart.points.empty());
    EXPECT_EQ(chart.advances, 0);

    Frame(16, 2 + 4 + 16 + 32 + 64);
    EXPECT_EQ(lblCranking.backColour, kWindowBackground);
    EXPECT_EQ(lblselector.text, "1");
    EXPECT_EQ(lblStop.backColour, kRed);
    EXPECT_EQ(lblPulse.text, "LH");
    EXPECT_EQ(lblFirst.backColour, kBlue);
    EXPECT_EQ(lblAnticip.backColour, kBlue);

    Frame(16, 0);
    for (const FakeControl* l : {&lblCranking, &lblStop, &lblFirst, &lblAnticip})
        EXPECT_EQ(l->backColour, kWindowBackground);
    EXPECT_EQ(lblselector.text, "0");
    EXPECT_EQ(lblPulse.text, "LH");
}

TEST_F(ChannelsTest, WindowBackgroundCanChange) {
    channels.SetWindowBackground(Rgb(1, 2, 3));
    Frame(16, 0);
    EXPECT_EQ(lblCranking.backColour, Rgb(1, 2, 3));
}

// --- Frames of no channel -------------------------------------------------------

TEST_F(ChannelsTest, CommandsBeyondTheChannelsChangeNothing) {
    for (int channel : {33, 17, -1, -2}) Frame(channel, 1000); // "Q", "A", "/", "."
    for (std::int32_t v : LastValues) EXPECT_EQ(v, 0);
    for (const FakeControl& l : lblvalor) EXPECT_EQ(l.textWrites, 0);
    EXPECT_EQ(lblCranking.backColour, 0u);
    EXPECT_TRUE(chart.points.empty());
    EXPECT_EQ(chart.advances, 0);
}

TEST_F(ChannelsTest, MissingControlsAreSkipped) {
    ChannelControls none;
    LiveChannels bare{
        none,     chart,      config,  LastValues,       ThrottlePercent, prescaleMultiplier,
        ThrScale, DataFormat, nullptr, kWindowBackground};
    for (std::int16_t ch = 0; ch <= 16; ++ch) bare.ShowChannel(ch, 50);
    EXPECT_EQ(chart.points.size(), 16u);
    EXPECT_EQ(LastValues[16], 50);
}

// --- Live cell ------------------------------------------------------------------

struct CellCase {
    std::int32_t rpmCount;
    float throttlePercent;
    int col;
    int row;
};

class LiveCell : public ::testing::TestWithParam<CellCase> {};

TEST_P(LiveCell, OperatingPointInTheFuelMap) {
    const LiveCellPosition p = LocateLiveCell(GetParam().rpmCount, GetParam().throttlePercent);
    EXPECT_EQ(p.LiveCol, GetParam().col);
    EXPECT_EQ(p.LiveRow, GetParam().row);
}

INSTANTIATE_TEST_SUITE_P(Columns, LiveCell,
                         ::testing::Values(CellCase{0, 0, 1, 1}, CellCase{1023, 0, 1, 1},
                                           CellCase{1024, 0, 1, 1}, CellCase{2047, 0, 1, 1},
                                           CellCase{2048, 0, 2, 1}, CellCase{15360, 0, 15, 1},
                                           CellCase{65535, 0, 63, 1}));

INSTANTIATE_TEST_SUITE_P(Rows, LiveCell,
                         ::testing::Values(CellCase{0, 0.0f, 1, 1}, CellCase{0, 6.25f, 1, 2},
                                           CellCase{0, 24.0f, 1, 4}, CellCase{0, 25.0f, 1, 5},
                                           CellCase{0, 26.0f, 1, 5}, CellCase{0, 37.5f, 1, 6},
                                           CellCase{0, 50.0f, 1, 7}, CellCase{0, 99.9f, 1, 10},
                                           CellCase{0, 100.0f, 1, 11},
                                           CellCase{0, 1e9f, 1, 32767}));

TEST(LiveCellPosition, KeepsTheFractionsForTheMarker) {
    const LiveCellPosition p = LocateLiveCell(1536, 50.0f);
    EXPECT_DOUBLE_EQ(p.n, 1.5);
    EXPECT_DOUBLE_EQ(p.r, 6.0);
}

} // namespace
} // namespace kavrin
