// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/map_views.h"

#include "support/fake_controls.h"
#include "support/fake_link_host.h"
#include "support/qt_application.h"
#include "ui/qt_grid_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <vector>

namespace kavrin {
namespace {

using test::FakeControl;

// Grids sized as the window sizes them for a 15 x 11 map, but for the air
// compensation table, narrower than its fixed 7 cells.
class MapViewsTest : public testing::Test {
protected:
    MapViewsTest() {
        texts.Load(test::NumberedLanguageFile()); // titles: "T67" .. "T70"
        controls.lblfmt = {&lblfmt[0], &lblfmt[1]};
        const std::tuple<QtGridControl*, int, int> sizes[] = {
            {&grd_fuel, 12, 16}, {&grd_ign, 2, 16}, {&grd3, 2, 15}, {&grd4, 2, 5}};
        for (const auto& [grid, rows, cols] : sizes) {
            grid->SetRows(rows);
            grid->SetCols(cols);
        }
    }
    void Layout(const std::string& thrMin, const std::string& thrMax) {
        txtTHRmin.text = thrMin;
        txtTHRmax.text = thrMax;
        views.LayoutMaps();
    }
    // The fuel map's throttle headers, rows 1..11, separated by spaces.
    std::string ThrottleHeaders() const {
        std::string headers;
        for (int row = 1; row < grd_fuel.Rows(); ++row)
            headers += (row > 1 ? " " : "") + grd_fuel.TextMatrix(row, 0);
        return headers;
    }

    QtGridControl grd_fuel{"grd_fuel"}, grd_ign{"grd_ign"}, grd3{"grd3"}, grd4{"grd4"};
    FakeControl lblFuelMap, lblIgnitionMap, lblEngComp, lblAirComp;
    FakeControl txtTHRmin{"0"}, txtTHRmax{"255"};
    std::array<FakeControl, 2> lblfmt;
    MapGrids grids{&grd_fuel, &grd_ign, &grd3, &grd4};
    MapViewControls controls{&lblFuelMap, &lblIgnitionMap, &lblEngComp, &lblAirComp, {}};
    ParameterControls fields{.txtTHRmin = &txtTHRmin, .txtTHRmax = &txtTHRmax};
    WindowState windowState;
    MapViewState& state = windowState.maps;
    DataFormatMode& dataFormat = windowState.DataFormat;
    LanguageTexts texts;
    int editorsBound = 0;
    MapViews views{grids,       controls, fields,
                   windowState, texts,    MapViewHooks{[this] { ++editorsBound; }, [] {}, [] {}}};
};

TEST_F(MapViewsTest, ThrottleHeadersInSensorCountsAndPercentOfTheSpan) {
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
        EXPECT_EQ(state.ThrSpan, c.span);
        EXPECT_EQ(state.ThrScale, c.scale);
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
        const auto expected = std::pair(ThrottleHeaders(), state.ThrSpan);
        Layout(thrMin, thrMax);
        EXPECT_EQ(std::pair(ThrottleHeaders(), state.ThrSpan), expected) << thrMin << "/" << thrMax;
    }
}

// Engine speed in steps of 1000 rpm, counting past 16 bits on a map wider
// than 32 columns; compensations in steps of 10 degrees, the air table always
// its 7 cells. The fuel map's title and first headers are tried on the window.
TEST_F(MapViewsTest, SpeedAndTemperatureHeadersAndTitles) {
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
TEST_F(MapViewsTest, SingleCellSelectedOnlyWhenTheBlockIsOneCell) {
    for (auto [rowSel, colSel, single] : {std::tuple{5, 4, false}, {3, 4, true}, {3, 6, false}}) {
        grd_fuel.SetRow(3);
        grd_fuel.SetCol(4);
        grd_fuel.SetRowSel(rowSel);
        grd_fuel.SetColSel(colSel);
        views.grd_fuel_SelChange();
        EXPECT_EQ(state.singleCellSelected, single) << rowSel << "," << colSel;
    }
}

} // namespace
} // namespace kavrin
