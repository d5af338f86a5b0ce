#include "grid/map_views.h"

#include "support/fake_controls.h"
#include "support/fake_grid_control.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace kavrin {
namespace {

using test::FakeControl;
using test::FakeGridControl;

// Interface texts 1..70 with the table titles at 67..70.
LanguageTexts TitleTexts() {
    std::string content;
    for (int n = 1; n <= 70; ++n) {
        std::string text = "text " + std::to_string(n);
        if (n == 67) text = "FUEL MAP";
        if (n == 68) text = "IGNITION MAP";
        if (n == 69) text = "ENGINE COMPENSATION";
        if (n == 70) text = "AIR COMPENSATION";
        content += std::to_string(n) + ";" + text + "\r\n";
    }
    LanguageTexts texts;
    texts.Load(content);
    return texts;
}

// Grids sized as the window sizes them for a 15 x 11 map.
class MapViewsTest : public testing::Test {
protected:
    MapViewsTest() {
        controls.grd_fuel = &grd_fuel;
        controls.grd_ign = &grd_ign;
        controls.grd3 = &grd3;
        controls.grd4 = &grd4;
        controls.lblFuelMap = &lblFuelMap;
        controls.lblIgnitionMap = &lblIgnitionMap;
        controls.lblEngComp = &lblEngComp;
        controls.lblAirComp = &lblAirComp;
        controls.txtTHRmin = &txtTHRmin;
        controls.txtTHRmax = &txtTHRmax;
        for (auto& label : lblfmt) controls.lblfmt.push_back(&label);
    }

    static void SizeGrid(FakeGridControl& grid, int rows, int cols) {
        grid.SetRows(rows);
        grid.SetCols(cols);
    }

    void Layout(const std::string& thrMin, const std::string& thrMax) {
        txtTHRmin.text = thrMin;
        txtTHRmax.text = thrMax;
        views.LayoutMaps();
    }

    std::vector<std::string> ThrottleHeaders() const {
        std::vector<std::string> headers;
        for (int row = 1; row < grd_fuel.Rows(); ++row)
            headers.push_back(grd_fuel.TextMatrix(row, 0));
        return headers;
    }

    FakeGridControl grd_fuel{"grd_fuel", 12, 16};
    FakeGridControl grd_ign{"grd_ign", 2, 16};
    FakeGridControl grd3{"grd3", 2, 15};
    FakeGridControl grd4{"grd4", 2, 8};
    FakeControl lblFuelMap, lblIgnitionMap, lblEngComp, lblAirComp;
    FakeControl txtTHRmin{"0"}, txtTHRmax{"255"};
    std::array<FakeControl, 11> lblfmt;
    MapViewControls controls;
    MapViewState state;
    DataFormatMode dataFormat = kRawData;
    LanguageTexts texts = TitleTexts();
    std::vector<std::string> calls;
    MapViews views{controls, state, dataFormat, texts,
                   MapViewHooks{[this] { calls.push_back("bindEditors"); },
                                [this] { calls.push_back("bringMarkerToFront"); },
                                [this] { calls.push_back("showConfig"); }}};
};

// --- Throttle axis ----------------------------------------------------------

struct ThrottleCase {
    std::string thrMin;
    std::string thrMax;
    std::int16_t span;
    std::int32_t scale;
    std::vector<std::string> raw;
    std::vector<std::string> formatted;
};

class ThrottleAxisTest : public MapViewsTest, public testing::WithParamInterface<ThrottleCase> {};

TEST_P(ThrottleAxisTest, RowHeadersInSensorCountsAndPercent) {
    const ThrottleCase& c = GetParam();
    Layout(c.thrMin, c.thrMax);
    EXPECT_EQ(state.ThrSpan, c.span);
    EXPECT_EQ(state.ThrScale, c.scale);
    EXPECT_EQ(ThrottleHeaders(), c.raw);

    dataFormat = kFormattedData;
    views.LayoutMaps();
    EXPECT_EQ(ThrottleHeaders(), c.formatted);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ThrottleAxisTest,
    testing::Values(
        // Row 2: 16 x 200 / 256 = 12.5 rounds to 12.
        ThrottleCase{"20",
                     "220",
                     200,
                     327,
                     {"20", "32", "45", "58", "70", "95", "120", "145", "170", "195", "220"},
                     {"0.0%", "6.0%", "12.5%", "19.0%", "24.9%", "37.4%", "49.9%", "62.4%", "74.8%",
                      "87.3%", "99.8%"}},
        ThrottleCase{"0",
                     "255",
                     255,
                     257,
                     {"0", "16", "32", "48", "64", "96", "128", "159", "191", "223", "255"},
                     {"0.0%", "6.3%", "12.5%", "18.8%", "25.1%", "37.6%", "50.2%", "62.4%", "74.9%",
                      "87.5%", "100.0%"}},
        // THR MIN is taken as typed; THR MAX 219.5 rounds to the even 220.
        ThrottleCase{"20.5",
                     "219.5",
                     200,
                     327,
                     {"20.5", "32.5", "45.5", "58.5", "70.5", "95.5", "120.5", "145.5", "170.5",
                      "195.5", "220.5"},
                     {"0.0%", "6.0%", "12.5%", "19.0%", "24.9%", "37.4%", "49.9%", "62.4%", "74.8%",
                      "87.3%", "99.8%"}}));

struct NonsenseCase {
    std::string thrMin;
    std::string thrMax;
};

class NonsenseThrottleTest : public MapViewsTest,
                             public testing::WithParamInterface<NonsenseCase> {};

// Limits that leave no span read as THR MAX 255.
TEST_P(NonsenseThrottleTest, HeadersAreThoseOfThrMax255) {
    Layout(GetParam().thrMin, "255");
    const auto expected = ThrottleHeaders();
    const auto expectedSpan = state.ThrSpan;

    Layout(GetParam().thrMin, GetParam().thrMax);
    EXPECT_EQ(ThrottleHeaders(), expected);
    EXPECT_EQ(state.ThrSpan, expectedSpan);
}

INSTANTIATE_TEST_SUITE_P(Limits, NonsenseThrottleTest,
                         testing::Values(NonsenseCase{"0", "0"}, NonsenseCase{"20", "0"},
                                         NonsenseCase{"20", "-5"}, NonsenseCase{"20", "20"},
                                         NonsenseCase{"100", "50"}, NonsenseCase{"0", "abc"},
                                         NonsenseCase{"0", "0.4"}));

TEST_F(MapViewsTest, ThrMinAbove255GivesTheFullSpan) {
    Layout("300", "200");
    EXPECT_EQ(state.ThrSpan, 255);
    EXPECT_EQ(state.ThrScale, 257);
    EXPECT_EQ(grd_fuel.TextMatrix(1, 0), "300");
    EXPECT_EQ(grd_fuel.TextMatrix(11, 0), "555");
}

// --- Engine-speed axis and compensation headers -----------------------------

TEST_F(MapViewsTest, EngineSpeedHeadersAndColumnWidthsOfBothMaps) {
    Layout("0", "255");
    for (auto* grid : {&grd_fuel, &grd_ign}) {
        EXPECT_EQ(grid->TextMatrix(0, 0), "0");
        for (int col = 0; col < 16; ++col) {
            EXPECT_EQ(grid->TextMatrix(0, col), std::to_string(col * 1000)) << col;
            EXPECT_EQ(grid->ColWidth(col), 650) << col;
        }
    }
    EXPECT_EQ(grd_fuel.TextMatrix(0, 15), "15000");
}

TEST_F(MapViewsTest, MapWiderThan32ColumnsKeepsItsEngineSpeeds) {
    SizeGrid(grd_fuel, 12, 41);
    SizeGrid(grd_ign, 2, 41);
    Layout("0", "255");
    EXPECT_EQ(grd_fuel.TextMatrix(0, 33), "33000");
    EXPECT_EQ(grd_ign.TextMatrix(0, 40), "40000");
}

TEST_F(MapViewsTest, CompensationHeadersInTenDegreeSteps) {
    SizeGrid(grd4, 2, 5);
    Layout("0", "255");
    EXPECT_EQ(grd3.TextMatrix(1, 0), "Corr %");
    EXPECT_EQ(grd4.TextMatrix(1, 0), "Corr %");
    EXPECT_EQ(grd3.TextMatrix(0, 1), "0");
    EXPECT_EQ(grd3.TextMatrix(0, 14), "130");
    EXPECT_EQ(grd4.Cols(), 8);
    EXPECT_EQ(grd4.TextMatrix(0, 1), "0");
    EXPECT_EQ(grd4.TextMatrix(0, 7), "60");
    for (int col = 0; col < 15; ++col) EXPECT_EQ(grd3.ColWidth(col), 650) << col;
    for (int col = 0; col < 8; ++col) EXPECT_EQ(grd4.ColWidth(col), 650) << col;
}

TEST_F(MapViewsTest, EveryLayoutBindsFreshEditors) {
    views.LayoutMaps();
    views.LayoutMaps();
    EXPECT_EQ(calls, (std::vector<std::string>{"bindEditors", "bindEditors"}));
}

// --- Titles and unit labels -------------------------------------------------

struct TitleCase {
    DataFormatMode mode;
    std::array<std::string, 4> titles; // fuel, ignition, engine, air
    bool unitsShown;
};

class MapTitlesTest : public MapViewsTest, public testing::WithParamInterface<TitleCase> {};

TEST_P(MapTitlesTest, TitlesCarryTheUnitsOfTheMode) {
    dataFormat = GetParam().mode;
    for (auto& label : lblfmt) label.visible = !GetParam().unitsShown;
    views.LayoutMaps();
    EXPECT_EQ(lblFuelMap.text, GetParam().titles[0]);
    EXPECT_EQ(lblIgnitionMap.text, GetParam().titles[1]);
    EXPECT_EQ(lblEngComp.text, GetParam().titles[2]);
    EXPECT_EQ(lblAirComp.text, GetParam().titles[3]);
    for (const auto& label : lblfmt) EXPECT_EQ(label.visible, GetParam().unitsShown);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, MapTitlesTest,
    testing::Values(TitleCase{kRawData,
                              {"FUEL MAP 1 (raw)", "IGNITION MAP 1 (raw)",
                               "ENGINE COMPENSATION (raw)", "AIR COMPENSATION (raw)"},
                              false},
                    TitleCase{kFormattedData,
                              {"FUEL MAP 1 (ms)", "IGNITION MAP 1 (deg)", "ENGINE COMPENSATION (%)",
                               "AIR COMPENSATION (%)"},
                              true}));

// --- Tab strip --------------------------------------------------------------

TEST_F(MapViewsTest, CompensationsTabShowsTheCompensationTables) {
    grd3.SetVisible(false);
    grd4.SetVisible(false);
    lblAirComp.visible = false;
    views.tab1_Click(2);

    EXPECT_FALSE(grd_fuel.IsVisible());
    EXPECT_FALSE(grd_ign.IsVisible());
    EXPECT_FALSE(lblIgnitionMap.visible);
    EXPECT_TRUE(grd3.IsVisible());
    EXPECT_TRUE(grd4.IsVisible());
    EXPECT_TRUE(lblAirComp.visible);
    EXPECT_EQ(lblFuelMap.text, "COMPENSATION vs ENG.TEMP");
    EXPECT_EQ(calls, (std::vector<std::string>{"bringMarkerToFront", "showConfig"}));
}

TEST_F(MapViewsTest, MapTabBringsTheMapsBack) {
    views.tab1_Click(2);
    calls.clear();
    views.tab1_Click(1);

    EXPECT_TRUE(grd_fuel.IsVisible());
    EXPECT_TRUE(grd_ign.IsVisible());
    EXPECT_TRUE(lblIgnitionMap.visible);
    EXPECT_FALSE(grd3.IsVisible());
    EXPECT_FALSE(grd4.IsVisible());
    EXPECT_FALSE(lblAirComp.visible);
    EXPECT_EQ(lblFuelMap.text, "FUEL MAP 1");
    EXPECT_EQ(lblIgnitionMap.text, "IGNITION MAP 1");
    EXPECT_EQ(calls, (std::vector<std::string>{"bringMarkerToFront", "showConfig"}));
}

TEST_F(MapViewsTest, TabsLeaveTheEngineCompensationTitleAlone) {
    views.LayoutMaps();
    views.tab1_Click(2);
    views.tab1_Click(1);
    EXPECT_EQ(lblEngComp.text, "ENGINE COMPENSATION (raw)");
    EXPECT_TRUE(lblEngComp.visible);
}

// --- Selection --------------------------------------------------------------

struct SelectionCase {
    int row, col, rowSel, colSel;
    bool single;
};

class FuelSelectionTest : public MapViewsTest, public testing::WithParamInterface<SelectionCase> {};

TEST_P(FuelSelectionTest, SingleCellWhenTheBlockIsOneCell) {
    const SelectionCase& c = GetParam();
    grd_fuel.SetRow(c.row);
    grd_fuel.SetCol(c.col);
    grd_fuel.SetRowSel(c.rowSel);
    grd_fuel.SetColSel(c.colSel);
    state.singleCellSelected = !c.single;
    views.grd_fuel_SelChange();
    EXPECT_EQ(state.singleCellSelected, c.single);
}

INSTANTIATE_TEST_SUITE_P(Blocks, FuelSelectionTest,
                         testing::Values(SelectionCase{3, 4, 3, 4, true},
                                         SelectionCase{3, 4, 5, 4, false},
                                         SelectionCase{3, 4, 3, 6, false},
                                         SelectionCase{3, 4, 1, 1, false}));

TEST_F(MapViewsTest, SingleCellSelectedAtStart) {
    EXPECT_TRUE(MapViewState{}.singleCellSelected);
}

} // namespace
} // namespace kavrin
