// SPDX-License-Identifier: GPL-3.0-or-later
// What the window shows, the tables on the real grids: the maps' headers and
// titles laid out, each byte of the image in its one place; live frames as
// the channel rows, the status indicators and the chart get them, the strip
// chart drawing them, and the operating point's tint and markers.
#include "config/config_view.h"
#include "grid/map_views.h"
#include "live/channels.h"
#include "live/live_cell_tracker.h"
#include "live/strip_chart.h"

#include "support/fake_controls.h"
#include "support/fake_link_host.h"
#include "support/qt_application.h"
#include "ui/qt_grid_control.h"

#include <QWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace kavrin {
namespace {

using test::FakeControl;
using Places = std::vector<std::string>;
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

// Start dimensions: 15 x 11 fuel map, 14 + 7 compensation cells; THR MIN 0,
// THR MAX 255. The even channels are plotted.
class ViewsTest : public testing::Test {
protected:
    ViewsTest() {
        dataFormat = kFormattedData;
        for (int i = 0; i < 8; ++i) fields.options[i] = &options[i];
        for (int i = 0; i < 2; ++i) fields.options2[i] = &options2[i];
        Resize(15, 11);
        texts.Load(test::NumberedLanguageFile()); // titles: "T67" .. "T70"
        controls.lblfmt = {&lblfmt[0], &lblfmt[1]};
        field[5].text = "255";
        for (int n = 0; n < kMeasuredChannels; ++n) {
            live.chk[n] = &chk[n];
            live.lblvalor[n] = &lblvalor[n];
            live.lblUnit[n] = &lblUnit[n];
            chk[n].checked = n % 2 == 0;
        }
        Control** lit[] = {&live.lblCranking, &live.lblselector, &live.lblStop,
                           &live.lblPulse,    &live.lblFirst,    &live.lblAnticip};
        for (int i = 0; i < 6; ++i) *lit[i] = &lights[i];
    }

    void Resize(int cols, int rows) {
        config.MapCols = static_cast<std::int16_t>(cols);
        config.MapRows = static_cast<std::int16_t>(rows);
        config.SizeImage();
        view.SizeGrids();
    }

    void Layout(const std::string& thrMin, const std::string& thrMax) {
        field[4].text = thrMin;
        field[5].text = thrMax;
        views.LayoutMaps();
    }
    // The fuel map's throttle headers, rows 1..11, separated by spaces.
    std::string ThrottleHeaders() const {
        std::string headers;
        for (int row = 1; row < grd_fuel.Rows(); ++row)
            headers += (row > 1 ? " " : "") + grd_fuel.TextMatrix(row, 0);
        return headers;
    }
    // Every table cell and field that shows `text`, as "grid(row,col)" or the
    // field's name.
    Places PlacesShowing(const std::string& text) const {
        static const char* names[] = {"txtCompensation", "txtMainAngle", "txtEFI_angle",
                                      "txtPump",         "txtTHRmin",    "txtTHRmax",
                                      "txtCorte",        "txtFactor",    "txtOffset",
                                      "txtPriming",      "txtDwell"};
        Places places;
        for (const auto* grid : {&grd_fuel, &grd_ign, &grd3, &grd4})
            for (int r = 1; r < grid->Rows(); ++r)
                for (int k = 1; k < grid->Cols(); ++k)
                    if (grid->TextMatrix(r, k) == text)
                        places.push_back(grid->Name() + "(" + std::to_string(r) + "," +
                                         std::to_string(k) + ")");
        for (int i = 0; i < 11; ++i)
            if (field[i].text == text) places.push_back(names[i]);
        return places;
    }
    // The first option byte's eight boxes, then the second's two.
    std::vector<bool> Ticks() const {
        std::vector<bool> ticks;
        for (const auto& box : options) ticks.push_back(box.checked);
        for (const auto& box : options2) ticks.push_back(box.checked);
        return ticks;
    }

    Configuration config;
    WriteSuppression writes;
    WindowState state;
    DataFormatMode& dataFormat = state.DataFormat;
    MapViewState& maps = state.maps;
    // Sized by SizeGrids, all but the rows of the one-row tables.
    QWidget window;
    QtGridControl grd_fuel{"grd_fuel", &window}, grd_ign{"grd_ign", &window}, grd3{"grd3", &window},
        grd4{"grd4", &window};
    std::array<FakeControl, 11> field; // txtCompensation .. txtDwell, parameter order
    std::array<FakeControl, 8> options;
    std::array<FakeControl, 2> options2;
    MapGrids grids{&grd_fuel, &grd_ign, &grd3, &grd4};
    ParameterControls fields{&field[0], &field[1], &field[2], &field[3], &field[4], &field[5],
                             &field[6], &field[7], &field[8], &field[9], &field[10]};
    std::map<std::pair<int, int>, Colour> fuelColours;
    ConfigView view{config,
                    writes,
                    state,
                    grids,
                    fields,
                    [this](std::int16_t row, std::int16_t col, Colour colour) {
                        fuelColours[{row, col}] = colour;
                    }};
    FakeControl lblFuelMap, lblIgnitionMap, lblEngComp, lblAirComp;
    std::array<FakeControl, 2> lblfmt;
    MapViewControls controls{&lblFuelMap, &lblIgnitionMap, &lblEngComp, &lblAirComp, {}};
    LanguageTexts texts;
    int editorsBound = 0;
    MapViews views{grids, controls, fields,
                   state, texts,    MapViewHooks{[this] { ++editorsBound; }, [] {}, [] {}}};
    std::array<FakeControl, kMeasuredChannels> chk, lblvalor, lblUnit;
    std::array<FakeControl, 6> lights;
    ChannelControls live;
    RecordingChart chart;
    LiveChannels channels{live, chart, config, state, field[4], kBackground};
};

// Raw, with every byte holding its own index, each index shows in exactly one
// place; the spare byte, which carries the dump's check byte, nowhere, and the
// option bytes tick one box per bit. Formatted, the scaled values. The places
// a dump fills on the window (first and last fuel cell, first ignition cell,
// the throttle limits) are left to the window.
TEST_F(ViewsTest, EachByteShowsInItsOnePlaceScaledOrRaw) {
    const std::tuple<int, const char*, int, const char*> cases[] = {
        {14, "grd_fuel(1,15)", -1, ""},     {15, "grd_fuel(2,1)", -1, ""},
        {179, "grd_ign(1,15)", -1, ""},     {180, "grd3(1,1)", 128, "100.0"},
        {193, "grd3(1,14)", -1, ""},        {194, "grd4(1,1)", 128, "100.0"},
        {200, "grd4(1,7)", -1, ""},         {201, "txtCompensation", 128, "100.0"},
        {202, "txtMainAngle", 128, "45.0"}, {203, "txtEFI_angle", 100, "35.2"},
        {204, "txtPump", 255, "100.0"},     {208, "txtCorte", 24, "6000"},
        {209, "txtFactor", 100, "80"},      {210, "txtOffset", -1, ""},
        {211, "txtPriming", 10, "33"},      {212, "txtDwell", 100, "2.56"}};
    for (int i = 0; i < 215; ++i) config.ConfigImage.Set(i, i);
    config.ConfigImage.Set(208, 24);   // the cut-off shows the engine-speed count raw
    config.ConfigImage.Set(213, 0xFE); // only bits 0 and 1 have boxes
    for (auto& box : options) box.checked = true;
    dataFormat = kRawData;
    view.ShowConfig();
    for (const auto& [index, place, byte, shown] : cases)
        EXPECT_EQ(PlacesShowing(index == 208 ? "6144" : std::to_string(index)), Places{place});
    EXPECT_EQ(PlacesShowing("214"), Places{});
    EXPECT_EQ(Ticks(), (std::vector<bool>{1, 1, 1, 1, 0, 0, 1, 1, 0, 1})); // 207, 0xFE

    dataFormat = kFormattedData;
    for (const auto& [index, place, byte, shown] : cases)
        if (byte >= 0) config.ConfigImage.Set(index, byte);
    view.ShowConfig();
    for (const auto& [index, place, byte, shown] : cases) {
        if (byte >= 0) {
            EXPECT_THAT(PlacesShowing(shown), testing::Contains(place)) << index;
        }
    }
}

TEST_F(ViewsTest, FuelCellsShowTheirPulseAndTheOffsetFollowsTheFactorByte) {
    config.ConfigImage.Set(16, 120);
    config.FuelPulseTable[16] = 5.0f; // as an "M" echo leaves it: the pulse stays
    for (auto [factor, offset] : {std::pair{0, "8.00"}, {100, "12.80"}}) {
        config.ConfigImage.Set(209, factor);
        config.ConfigImage.Set(210, 10); // sixteen fuel steps a count
        view.ShowConfig();
        EXPECT_EQ(grd_fuel.TextMatrix(2, 2) + " " + field[8].text, "5.00 " + std::string(offset));
    }
}

// The colour of a byte is tried with the cell edits; here, that a refresh
// colours every fuel cell once and never while the program fills controls.
TEST_F(ViewsTest, RecolouringGivesEveryFuelCellTheColourOfItsByteOnce) {
    config.ConfigImage.Set(1, 240);
    config.RecolourFuel = true;
    {
        const SuppressWrites quiet(writes);
        view.ShowConfig();
        EXPECT_TRUE(fuelColours.empty() && config.RecolourFuel);
        EXPECT_EQ(grd_fuel.TextMatrix(1, 1), "");
    }
    view.ShowConfig();
    EXPECT_EQ(fuelColours.at({1, 2}), Rgb(255, 0, 0));
    EXPECT_EQ(fuelColours.size(), 165u); // not the ignition row
    EXPECT_FALSE(config.RecolourFuel);
    fuelColours.clear();
    view.ShowConfig();
    EXPECT_TRUE(fuelColours.empty());
}

// A 20 x 12 map fills the image before the ignition row ends; a 16 x 13 one
// puts the parameters from 245 on. What lies past the image keeps its text.
TEST_F(ViewsTest, NothingIsReadPastTheImage) {
    dataFormat = kRawData;
    const auto showEveryByteAsItsIndex = [this](int cols, int rows) {
        Resize(cols, rows);
        for (int i = 0; i < 256; ++i) config.ConfigImage.Set(i, i);
        grd_ign.SetTextMatrix(1, 16, "untouched");
        grd3.SetTextMatrix(1, 1, "untouched");
        grd4.SetTextMatrix(1, 1, "untouched");
        for (auto& f : field) f.text = "untouched";
        for (auto* box : {&options[0], &options2[0]}) box->checked = true;
        view.ShowConfig();
    };
    showEveryByteAsItsIndex(20, 12);
    EXPECT_EQ(grd_fuel.TextMatrix(12, 20) + grd_ign.TextMatrix(1, 1), "239240");
    EXPECT_EQ(grd_ign.TextMatrix(1, 15), "254");
    EXPECT_EQ(PlacesShowing("untouched").size(), 3u + 11u);
    EXPECT_EQ(Ticks(), (std::vector<bool>{1, 0, 0, 0, 0, 0, 0, 0, 1, 0}));

    showEveryByteAsItsIndex(16, 13);
    EXPECT_EQ(field[0].text + " " + field[8].text, "245 254");
    EXPECT_EQ(PlacesShowing("untouched"), (Places{"txtPriming", "txtDwell"}));
    // 251 in the first option byte; the second lies past the image.
    EXPECT_EQ(Ticks(), (std::vector<bool>{1, 1, 0, 1, 1, 1, 1, 1, 1, 0}));
}

TEST_F(ViewsTest, ThrottleHeadersInSensorCountsAndPercentOfTheSpan) {
    const struct {
        const char *thrMin, *thrMax;
        int span, scale;
        const char *raw, *percent;
    } cases[] = {
        {"0", "255", 255, 257, "0 16 32 48 64 96 128 159 191 223 255",
         "0.0% 6.3% 12.5% 18.8% 25.1% 37.6% 50.2% 62.4% 74.9% 87.5% 100.0%"},
        // THR MIN 20 / MAX 220 is tried on the window. THR MIN is taken as
        // typed; THR MAX 219.5 rounds to the even 220.
        {"20.5", "219.5", 200, 327, "20.5 32.5 45.5 58.5 70.5 95.5 120.5 145.5 170.5 195.5 220.5",
         "0.0% 6.0% 12.5% 19.0% 24.9% 37.4% 49.9% 62.4% 74.8% 87.3% 99.8%"},
        // THR MIN above the sensor's range still gets the full span.
        {"300", "200", 255, 257, "300 316 332 348 364 396 428 459 491 523 555",
         "0.0% 6.3% 12.5% 18.8% 25.1% 37.6% 50.2% 62.4% 74.9% 87.5% 100.0%"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.thrMin) + " / " + c.thrMax);
        dataFormat = kRawData;
        Layout(c.thrMin, c.thrMax);
        EXPECT_EQ(maps.ThrSpan, c.span);
        EXPECT_EQ(maps.ThrScale, c.scale);
        EXPECT_EQ(ThrottleHeaders(), c.raw);
        dataFormat = kFormattedData;
        views.LayoutMaps();
        EXPECT_EQ(ThrottleHeaders(), c.percent);
    }

    // Limits that leave no span read as THR MAX 255: no THR MAX, one at or
    // below THR MIN, one rounding to 0, a span rounding to 0.
    dataFormat = kRawData;
    const std::pair<const char*, const char*> nonsense[] = {
        {"20", "abc"}, {"20", "20"}, {"100", "50"}, {"0", "0.4"}, {"254.6", "255"}};
    for (const auto& [thrMin, thrMax] : nonsense) {
        Layout(thrMin, "255");
        const auto expected = std::pair(ThrottleHeaders(), maps.ThrSpan);
        Layout(thrMin, thrMax);
        EXPECT_EQ(std::pair(ThrottleHeaders(), maps.ThrSpan), expected) << thrMin << "/" << thrMax;
    }
}

// Engine speed in steps of 1000 rpm, counting past 16 bits on a map wider
// than 32 columns; compensations in steps of 10 degrees, the air table always
// its 7 cells, however narrow its grid was. The fuel map's title and first headers are tried on the
// window.
TEST_F(ViewsTest, SpeedAndTemperatureHeadersAndTitles) {
    grd4.SetCols(5);
    grd_fuel.SetCols(41);
    grd_ign.SetCols(41);
    for (bool formatted : {false, true}) {
        dataFormat = formatted ? kFormattedData : kRawData;
        views.LayoutMaps();
        EXPECT_EQ(grd_fuel.TextMatrix(0, 33) + " " + grd_ign.TextMatrix(0, 40), "33000 40000");
        EXPECT_EQ(grd4.Cols(), 8);
        EXPECT_EQ(grd3.TextMatrix(0, 14) + " " + grd4.TextMatrix(0, 7), "130 60");
        EXPECT_EQ(grd3.TextMatrix(1, 0) + grd4.TextMatrix(1, 0), "Corr %Corr %");
        const std::string deg = formatted ? "deg" : "raw", pct = formatted ? "%" : "raw";
        EXPECT_EQ(lblIgnitionMap.text + lblEngComp.text + lblAirComp.text,
                  "T68 1 (" + deg + ")T69 (" + pct + ")T70 (" + pct + ")");
        for (const auto& label : lblfmt) EXPECT_EQ(label.visible, formatted);
    }
    // Every layout binds fresh editors.
    EXPECT_EQ(editorsBound, 2);
}

// A square block holding the live tint is tried on the window; here a block
// one row or one column wide.
TEST_F(ViewsTest, SingleCellSelectedOnlyWhenTheBlockIsOneCell) {
    for (auto [rowSel, colSel, single] : {std::tuple{5, 4, false}, {3, 4, true}, {3, 6, false}}) {
        grd_fuel.SetRow(3);
        grd_fuel.SetCol(4);
        grd_fuel.SetRowSel(rowSel);
        grd_fuel.SetColSel(colSel);
        views.grd_fuel_SelChange();
        EXPECT_EQ(maps.singleCellSelected, single) << rowSel << "," << colSel;
    }
}

// The operating point in the maps, one tick after another: which fuel cell is
// tinted and where the two marker boxes go. Columns of 64 px, rows of 16 px
// whatever the font; the fuel grid at (280, 340), the ignition grid's top at
// 600. The user's current cell is (3, 8).
TEST_F(ViewsTest, OperatingPointGivesCellTintAndMarkers) {
    grd_fuel.setGeometry(280, 340, 1100, 220);
    for (QtGridControl* grid : {&grd_fuel, &grd_ign})
        for (int row = 0; row < 12; ++row) grid->SetRowHeight(row, 240);
    grd_ign.move(280, 600);
    grd_fuel.SetRow(3);
    grd_fuel.SetCol(8);
    FakeControl p, p2;
    LiveCellTracker tracker{grids, p, p2, state};

    struct Case {
        std::int32_t rpmCount;
        float throttle;
        int col, row;         // the operating point
        int tintRow, tintCol; // the one tinted cell
        int mx, my;
    };
    const Case cases[] = {
        {0, 0.0f, 1, 1, 1, 1, 282, 358},
        {512, 24.0f, 1, 4, 4, 1, 314, 419},         // below 1024 counts: column 1; r = 3.84
        {2048, 50.0f, 2, 7, 7, 2, 410, 454},        // r = 8 / 2 + 2 = 6
        {15360, 100.0f, 15, 11, 11, 15, 1242, 518}, // r = 10
        {20480, 100.0f, 20, 11, 11, 15, 1562, 518}, // beyond the last column: the tint stays
        {2048, 150.0f, 2, 15, 11, 15, 410, 582},    // beyond the last row
        {2'000'000'000, 1e30f, 32767, 32767, 11, 15, 30000, 30000}, // still a place on screen
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.rpmCount << " counts, " << k.throttle << " %");
        state.LastValues[0] = k.rpmCount;
        state.ThrottlePercent = k.throttle;
        p.visible = p2.visible = false;
        tracker.TrackLiveCell();
        EXPECT_EQ(state.LiveCol, k.col);
        EXPECT_EQ(state.LiveRow, k.row);
        int tinted = 0;
        for (int row = 1; row < 12; ++row)
            for (int col = 1; col < 16; ++col)
                tinted += grd_fuel.ShownBackground(row, col) == QColor(255, 208, 208);
        EXPECT_EQ(tinted, 1);
        EXPECT_EQ(grd_fuel.ShownBackground(k.tintRow, k.tintCol), QColor(255, 208, 208));
        EXPECT_EQ(p.at, std::pair(k.mx, k.my));
        EXPECT_EQ(p2.at, std::pair(k.mx, 600 + 16 + 8));
        EXPECT_TRUE(p.visible && p2.visible);
        EXPECT_EQ(std::pair(grd_fuel.Row(), grd_fuel.Col()), std::pair(3, 8))
            << "the user's cell stays";
    }
}

// One frame after another, each shown formatted and then raw at the next
// refresh. Formatted, the value in its unit; raw, the count as received and no
// unit. Rows for the channels whose scale is a plain factor of the channel
// table would only restate it; one of them (ignition) stands for all. The chart gets
// the value in its unit either way, drawn when the channel is ticked (here the
// even ones), and engine speed moves it one column on.
TEST_F(ViewsTest, EachFrameShowsItsValueUnitAndColour) {
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
    config.FuelScale = 0.08f; // an EFI factor of 100
    maps.ThrScale = 327;      // THR MIN 20 and THR MAX 220
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.channel) + " <- " + std::to_string(k.value));
        field[4].text = k.thrMin;
        for (DataFormatMode mode : {kFormattedData, kRawData}) {
            state.DataFormat = mode;
            const int advances = chart.advances;
            channels.ShowChannel(static_cast<std::int16_t>(k.channel), k.value);
            channels.Refresh();
            const bool raw = mode == kRawData;
            EXPECT_EQ(lblvalor[k.channel].text, raw ? std::to_string(k.value) : k.text);
            EXPECT_EQ(lblUnit[k.channel].text, raw ? "" : k.unit);
            EXPECT_EQ(std::pair(lblvalor[k.channel].foreColour, chk[k.channel].foreColour),
                      std::pair(k.colour, k.colour));
            EXPECT_EQ(state.LastValues[k.channel], k.value);
            const auto& [channel, value, colour, plotted] = chart.points.back();
            EXPECT_EQ(std::tuple(channel, colour, plotted),
                      std::tuple(k.channel, k.colour, k.channel % 2 == 0));
            EXPECT_NEAR(value, std::stod(k.text), 0.051);
            EXPECT_EQ(chart.advances - advances, k.channel == 0 ? 1 : 0);
        }
    }
}

TEST_F(ViewsTest, StatusBitsLightTheIndicatorsAndOtherFramesAreIgnored) {
    auto shown = [this] {
        const auto& i = lights;
        return std::tuple{i[0].backColour, i[1].text,       i[2].backColour,
                          i[3].text,       i[4].backColour, i[5].backColour};
    };
    channels.ShowChannel(16, 9);
    channels.Refresh();
    EXPECT_EQ(shown(), std::tuple(kBlue, "0", kBackground, "HL", kBackground, kBackground));
    channels.ShowChannel(16, 2 + 4 + 16 + 32 + 64);
    channels.Refresh();
    EXPECT_EQ(shown(), std::tuple(kBackground, "1", kRed, "LH", kBlue, kBlue));
    channels.ShowChannel(16, 0);
    channels.Refresh();
    EXPECT_EQ(shown(), std::tuple(kBackground, "0", kBackground, "LH", kBackground, kBackground));
    for (std::int16_t channel : {33, 17, -1, -2})
        channels.ShowChannel(channel, 1000); // "Q", "A", "/", "."
    channels.Refresh();
    EXPECT_EQ(state.LastValues, LiveValueStore{});
    EXPECT_TRUE(chart.points.empty());
    EXPECT_EQ(chart.advances, 0);
    for (const FakeControl& label : lblvalor) EXPECT_EQ(label.textWrites, 0);
}

using Segment = std::array<int, 4>; // x1, y1, x2, y2
using Label = std::tuple<int, int, std::string, Colour>;

// The strip chart on a recording canvas of 723 x 262 pixels (2.5 pixels a
// chart unit): the grid, where points land, and when a trace starts again.
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
} // namespace kavrin
