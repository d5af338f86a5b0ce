// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/config_view.h"

#include "support/fake_controls.h"
#include "support/qt_application.h"
#include "ui/qt_grid_control.h"

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

// Start dimensions: 15 x 11 fuel map, 14 + 7 compensation cells.
class ConfigViewTest : public testing::Test {
protected:
    ConfigViewTest() {
        for (int i = 0; i < 8; ++i) fields.options[i] = &options[i];
        for (int i = 0; i < 2; ++i) fields.options2[i] = &options2[i];
        Resize(15, 11);
    }

    void Resize(int cols, int rows) {
        config.MapCols = static_cast<std::int16_t>(cols);
        config.MapRows = static_cast<std::int16_t>(rows);
        config.SizeImage();
        view.SizeGrids();
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
    WindowState state = test::StateIn(kFormattedData);
    DataFormatMode& dataFormat = state.DataFormat;
    // Sized by SizeGrids, all but the rows of the one-row tables.
    QtGridControl grd_fuel{"grd_fuel"}, grd_ign{"grd_ign"}, grd3{"grd3"}, grd4{"grd4"};
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
};

// Raw, with every byte holding its own index, each index shows in exactly one
// place; the spare byte, which carries the dump's check byte, nowhere, and the
// option bytes tick one box per bit. Formatted, the scaled values. The places
// a dump fills on the window (first and last fuel cell, first ignition cell,
// the throttle limits) are left to the window.
TEST_F(ConfigViewTest, EachByteShowsInItsOnePlaceScaledOrRaw) {
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

TEST_F(ConfigViewTest, FuelCellsShowTheirPulseAndTheOffsetFollowsTheFactorByte) {
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
TEST_F(ConfigViewTest, RecolouringGivesEveryFuelCellTheColourOfItsByteOnce) {
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
TEST_F(ConfigViewTest, NothingIsReadPastTheImage) {
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

} // namespace
} // namespace kavrin
