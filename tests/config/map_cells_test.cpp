// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/map_cells.h"

#include "support/link_rig.h"

#include "support/fake_controls.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace kavrin {
namespace {

using test::Write;
using Writes = std::vector<Write>;
using Handler = void (MapCellHandlers::*)(std::int16_t&, std::int16_t&, std::string&, bool&);
constexpr DataFormatMode F = kFormattedData, R = kRawData;
constexpr Colour kBlack = Rgb(0, 0, 0), kRed = Rgb(255, 0, 0);
constexpr Handler Fuel = &MapCellHandlers::ogrd_fuel_ValidarCelda;
constexpr Handler Ign = &MapCellHandlers::ogrd_ign_ValidarCelda;
constexpr Handler Eng = &MapCellHandlers::ogrd3_ValidarCelda;
constexpr Handler Air = &MapCellHandlers::ogrd4_ValidarCelda;

using CellColours = std::vector<std::tuple<int, int, Colour>>; // row, column, colour

class MapCellsTest : public ::testing::Test {
protected:
    MapCellsTest() {
        rig.Open();
        config.ConfigImage.Set(config.ParamBase + 8, 100); // 0.08 ms per fuel step
    }

    // Runs a handler as the grid editor does and returns the cell's text.
    std::string Edit(Handler handler, int row, int col, std::string typed) {
        std::int16_t r = static_cast<std::int16_t>(row), c = static_cast<std::int16_t>(col);
        bool cancel = false;
        (handlers.*handler)(r, c, typed, cancel);
        EXPECT_FALSE(cancel);
        return typed;
    }

    test::LinkRig rig;
    Configuration& config = rig.config;
    LinkFlags& flags = rig.state.flags;
    WindowState state = test::StateIn(F);
    DataFormatMode& DataFormat = state.DataFormat;
    CellColours colours;
    int suggestions = 0;
    MapCellHandlers handlers{config,
                             flags,
                             rig.link,
                             state,
                             [this](std::int16_t r, std::int16_t c, Colour colour) {
                                 colours.push_back({r, c, colour});
                             },
                             [this] { ++suggestions; }};
};

// Offline the byte goes into the image; online to the ECU, the cell keeping
// the typed text until the echo (the window tries a typed comma and the echo).
// The pulse and colour change at once. "0.12" is 1.5 steps, rounded to even.
TEST_F(MapCellsTest, FuelCellWritesTheByteAndShowsWhatItGives) {
    constexpr bool on = true, off = false;
    constexpr Colour kBrown = Rgb(90, 30, 0), kOrange = Rgb(240, 80, 0);
    const std::tuple<DataFormatMode, bool, const char*, int, const char*, Colour> cases[] = {
        {F, off, "2", 25, "2.00", kBlack},     {F, off, "30", 255, "20.40", kRed},
        {F, off, "x", 0, "0.00", kBlack},      {F, off, "-3", 0, "0.00", kBlack},
        {F, off, "1e300", 255, "20.40", kRed}, {R, off, "59", 59, "59", kBlack},
        {R, off, "60", 60, "60", kBrown},      {R, off, "239", 239, "239", kOrange},
        {R, off, "-4", 0, "0", kBlack},        {R, off, "1e30", 255, "255", kRed},
        {R, off, "abc", 0, "0", kBlack},       {R, off, "2,7", 2, "2", kBlack},
        {R, on, "300", 255, "300", kRed},      {F, off, "0.12", 2, "0.16", kBlack}};
    for (const auto& [mode, online, typed, written, shown, colour] : cases) {
        SCOPED_TRACE(typed);
        DataFormat = mode;
        flags.online = online;
        rig.device.ClearWritten();
        colours.clear();
        suggestions = 0;
        config.ConfigImage.Set(17, 7);
        EXPECT_EQ(Edit(Fuel, 2, 3, typed), shown);
        EXPECT_EQ(rig.Sent(), online ? (Writes{{'M', 17, written}}) : Writes{});
        EXPECT_EQ(config.ConfigImage[17], online ? 7 : written); // row 2, column 3
        EXPECT_FLOAT_EQ(config.FuelPulseTable[17], written * 0.08f);
        EXPECT_EQ(colours, (CellColours{{2, 3, colour}}));
        EXPECT_EQ(suggestions, mode == F ? 1 : 0); // formatted edits refresh the suggestion
    }
}

// Rows: handler, column, image index, mode, online, typed, written, shown.
// Ignition cells show the angle of the byte, online too (the angle itself is
// read as the parameter fields read it); compensation cells show their
// percentage offline and keep the typed text online.
TEST_F(MapCellsTest, IgnitionAndCompensationCellsWriteTheirByte) {
    using Case = std::tuple<Handler, int, int, DataFormatMode, bool, const char*, int, const char*>;
    const Case cases[] = {
        {Ign, 4, 168, F, false, "95", 255, "89.6"},   {Ign, 4, 168, F, true, "10", 28, "9.8"},
        {Ign, 4, 168, R, true, "28", 28, "28"},       {Ign, 1, 165, F, false, "0", 0, "0.0"},
        {Eng, 1, 180, F, false, "100", 128, "100.0"}, {Eng, 1, 180, F, false, "250", 255, "199.2"},
        {Eng, 1, 180, F, false, "-1", 0, "0.0"},      {Eng, 1, 180, R, false, "300", 255, "255"},
        {Air, 7, 200, F, false, "100", 128, "100.0"}, {Eng, 14, 193, F, true, "250", 255, "250"}};
    for (const auto& [handler, col, index, mode, online, typed, written, shown] : cases) {
        SCOPED_TRACE(std::to_string(index) + " <- " + typed);
        DataFormat = mode;
        flags.online = online;
        rig.device.ClearWritten();
        config.ConfigImage.Set(index, 7);
        EXPECT_EQ(Edit(handler, 1, col, typed), shown);
        EXPECT_EQ(rig.Sent(), online ? (Writes{{'M', index, written}}) : Writes{});
        EXPECT_EQ(config.ConfigImage[index], online ? 7 : written);
    }
}

} // namespace
} // namespace kavrin
