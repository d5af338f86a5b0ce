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
    LinkFlags flags;
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
                    flags,
                    state,
                    grids,
                    fields,
                    [this](std::int16_t row, std::int16_t col, Colour colour) {
                        fuelColours[{row, col}] = colour;
                    }};
};

// Raw, with every byte holding its own index, each index shows in exactly one
// place. The spare byte, which carries the dump's check byte, shows nowhere.
TEST_F(ConfigViewTest, EachByteShowsInItsOnePlaceScaledOrRaw) {
    EXPECT_EQ(
        (std::vector{grd_fuel.Rows(), grd_fuel.Cols(), grd_ign.Cols(), grd3.Cols(), grd4.Cols()}),
        (std::vector{12, 16, 16, 15, 8}));
    EXPECT_EQ(config.ConfigImage.size(), 215);
    const std::map<int, std::string> placeOf = {
        {0, "grd_fuel(1,1)"},     {14, "grd_fuel(1,15)"},   {15, "grd_fuel(2,1)"},
        {164, "grd_fuel(11,15)"}, {165, "grd_ign(1,1)"},    {179, "grd_ign(1,15)"},
        {180, "grd3(1,1)"},       {193, "grd3(1,14)"},      {194, "grd4(1,1)"},
        {200, "grd4(1,7)"},       {201, "txtCompensation"}, {202, "txtMainAngle"},
        {203, "txtEFI_angle"},    {204, "txtPump"},         {205, "txtTHRmin"},
        {206, "txtTHRmax"},       {208, "txtCorte"},        {209, "txtFactor"},
        {210, "txtOffset"},       {211, "txtPriming"},      {212, "txtDwell"}};
    for (int i = 0; i < 215; ++i) config.ConfigImage.Set(i, i);
    config.ConfigImage.Set(208, 24); // the cut-off shows the engine-speed count raw
    dataFormat = kRawData;
    view.ShowConfig();
    for (const auto& [index, place] : placeOf)
        EXPECT_EQ(PlacesShowing(index == 208 ? "6144" : std::to_string(index)), Places{place});
    EXPECT_EQ(PlacesShowing("214"), Places{}); // the spare byte

    // Formatted, the scaled values.
    const std::tuple<int, int, const char*> scaled[] = {
        {165, 128, "45.0"}, {180, 128, "100.0"}, {194, 128, "100.0"}, {201, 128, "100.0"},
        {202, 128, "45.0"}, {203, 100, "35.2"},  {204, 255, "100.0"}, {205, 20, "20"},
        {206, 220, "220"},  {208, 24, "6000"},   {209, 100, "80"},    {211, 10, "33"},
        {212, 100, "2.56"}};
    for (const auto& [index, byte, shown] : scaled) config.ConfigImage.Set(index, byte);
    dataFormat = kFormattedData;
    view.ShowConfig();
    for (const auto& [index, byte, shown] : scaled)
        EXPECT_THAT(PlacesShowing(shown), testing::Contains(placeOf.at(index))) << index;
}

TEST_F(ConfigViewTest, FuelCellsAndOffsetFollowTheFactorByte) {
    config.ConfigImage.Set(16, 100);
    config.FuelPulseTable[16] = 5.0f; // factor byte 0: 0.05 ms per step
    config.ConfigImage.Set(210, 10);
    view.ShowConfig();
    EXPECT_EQ(grd_fuel.TextMatrix(2, 2), "5.00");
    EXPECT_EQ(field[8].text, "8.00"); // the offset counts sixteen fuel steps
    // An "M" echo stores the byte but leaves the pulse table as it was; the
    // offset follows the new factor at once.
    config.ConfigImage.Set(16, 120);
    config.ConfigImage.Set(209, 100);
    view.ShowConfig();
    EXPECT_EQ(grd_fuel.TextMatrix(2, 2), "5.00");
    EXPECT_EQ(field[8].text, "12.80");
    dataFormat = kRawData;
    view.ShowConfig();
    EXPECT_EQ(grd_fuel.TextMatrix(2, 2), "120");
}

TEST_F(ConfigViewTest, RecolouringGivesEveryFuelCellTheColourOfItsByteOnce) {
    const std::pair<int, Colour> edges[] = {
        {59, Rgb(0, 0, 0)}, {60, Rgb(90, 30, 0)}, {239, Rgb(240, 80, 0)}, {240, Rgb(255, 0, 0)}};
    for (int i = 0; i < 4; ++i) config.ConfigImage.Set(i, edges[i].first);
    config.RecolourFuel = true;
    view.ShowConfig();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(fuelColours.at({1, 1 + i}), edges[i].second) << i;
    EXPECT_EQ(fuelColours.size(), 165u);
    EXPECT_FALSE(config.RecolourFuel);
    EXPECT_EQ(fuelColours.count({12, 1}), 0u) << "the ignition row is not a fuel cell";

    fuelColours.clear();
    view.ShowConfig();
    EXPECT_TRUE(fuelColours.empty());
}

TEST_F(ConfigViewTest, OptionBytesTickOneBoxPerBitWithoutWritingBack) {
    std::vector<bool> suppressedWhileSet;
    for (auto& box : options) {
        box.checked = true;
        // The box's click handler writes unless the program is filling the boxes.
        box.onChecked = [&] { suppressedWhileSet.push_back(flags.suppressWrites); };
    }
    config.ConfigImage.Set(207, 129);
    config.ConfigImage.Set(213, 0xFE); // only bits 0 and 1 have boxes
    config.ConfigImage.Set(201, 128);
    config.RecolourFuel = true;
    // While the program is already filling controls, ShowConfig does nothing.
    flags.suppressWrites = true;
    view.ShowConfig();
    EXPECT_EQ(field[0].text, "");
    EXPECT_EQ(grd_fuel.TextMatrix(1, 1), "");
    EXPECT_TRUE(suppressedWhileSet.empty());
    EXPECT_TRUE(config.RecolourFuel);
    EXPECT_TRUE(fuelColours.empty());

    flags.suppressWrites = false;
    view.ShowConfig();
    EXPECT_EQ(Ticks(), (std::vector<bool>{1, 0, 0, 0, 0, 0, 0, 1, 0, 1}));
    EXPECT_EQ(suppressedWhileSet, std::vector<bool>(8, true));
    EXPECT_FALSE(flags.suppressWrites) << "the flag is lowered again afterwards";
}

TEST_F(ConfigViewTest, NothingIsReadPastTheImage) {
    dataFormat = kRawData;
    auto showEveryByteAsItsIndex = [this] {
        for (int i = 0; i < 256; ++i) config.ConfigImage.Set(i, i);
        for (auto& f : field) f.text = "untouched";
        view.ShowConfig();
    };
    // A 20 x 12 map fills the image before the ignition row ends: the rest of
    // it, the compensation tables and the parameters are left alone.
    Resize(20, 12);
    ASSERT_EQ(config.ImageLast, 255);
    grd_ign.SetTextMatrix(1, 16, "untouched");
    grd3.SetTextMatrix(1, 1, "untouched");
    grd4.SetTextMatrix(1, 1, "untouched");
    options[0].checked = true;
    showEveryByteAsItsIndex();
    EXPECT_EQ(grd_fuel.TextMatrix(12, 20), "239");
    EXPECT_EQ(grd_ign.TextMatrix(1, 1), "240");
    EXPECT_EQ(grd_ign.TextMatrix(1, 15), "254");
    EXPECT_EQ(PlacesShowing("untouched").size(), 3u + 11u);
    EXPECT_TRUE(options[0].checked);

    // Parameters from 245 on: those at or past the spare byte 255 keep their text.
    Resize(16, 13);
    ASSERT_EQ(config.ParamBase, 245);
    options2[0].checked = true;
    showEveryByteAsItsIndex();
    EXPECT_EQ(field[0].text, "245");
    EXPECT_EQ(field[8].text, "254");
    EXPECT_EQ(PlacesShowing("untouched"), (Places{"txtPriming", "txtDwell"}));
    // 251 in the first option byte; the second lies past the image.
    EXPECT_EQ(Ticks(), (std::vector<bool>{1, 1, 0, 1, 1, 1, 1, 1, 1, 0}));
}

} // namespace
} // namespace kavrin
