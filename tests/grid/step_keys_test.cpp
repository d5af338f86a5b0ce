// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/step_keys.h"

#include "base/modulo.h"
#include "support/link_rig.h"

#include "support/fake_controls.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace kavrin {
namespace {

using test::Write;
using Writes = std::vector<Write>;
constexpr DataFormatMode F = kFormattedData, R = kRawData;

// Box rows: box, mode, text, key, the box's new text (nothing: the key is
// typed normally). Ignition boxes step degrees in raw mode too.
TEST(StepKeys, BoxKeys) {
    constexpr StepBox Fuel = StepBox::Fuel, Ign = StepBox::Ignition;
    constexpr std::nullopt_t typed = std::nullopt;
    using Case = std::tuple<StepBox, DataFormatMode, const char*, char, std::optional<std::string>>;
    const Case cases[] = {{Fuel, F, "1.23", '-', "1.22"}, {Fuel, F, "0.00", '-', "-0.01"},
                          {Fuel, F, "abc", '+', "0.01"},  {Fuel, F, "1.23", '5', typed},
                          {Fuel, R, "0", '-', "0"},       {Fuel, R, "", '-', ""},
                          {Fuel, R, "255", '+', "256"},   {Fuel, R, "1.5", '+', "2.5"},
                          {Fuel, R, "7", 'x', typed},     {Ign, F, "10.00", '-', "9.65"},
                          {Ign, F, "0", '-', "-0.35"},    {Ign, R, "45", '+', "45.35"},
                          {Ign, F, "10", '=', typed},     {Fuel, R, "100", '-', "99"},
                          {Fuel, R, "-3", '-', "-3"},     {Fuel, R, "abc", '+', "1"}};
    for (const auto& [box, mode, text, key, result] : cases)
        EXPECT_EQ(StepBoxText(box, text, key, mode), result) << text << " " << key;
}

class LiveFuelCellTest : public ::testing::Test {
protected:
    LiveFuelCellTest() {
        rig.Open();
        flags.online = true;
    }

    // Presses a key with no editing box open, the engine at (row, col). A step
    // key is consumed.
    bool Press(int key, std::int16_t row, std::int16_t col) {
        std::int16_t code = static_cast<std::int16_t>(key);
        const bool handled = stepper.Form_KeyDown(code, row, col);
        EXPECT_EQ(code, handled ? 0 : key);
        return handled;
    }

    test::LinkRig rig;
    Configuration& config = rig.config;
    LinkFlags& flags = rig.state.flags;
    WindowState state = test::StateIn(F);
    DataFormatMode& DataFormat = state.DataFormat;
    LiveFuelCellStepper stepper{config, rig.link, state};
};

// Factor byte 0: 0.05 ms per step, so a cell at 5.00 ms holds byte 100.
TEST_F(LiveFuelCellTest, FormattedPressesAccumulateInThePulseTable) {
    const int idx = 2 * 15 + 4; // row 3, column 5
    config.ConfigImage.Set(idx, 100);
    config.FuelPulseTable[idx] = 5.0f;
    for (int key : {107, 187, 107}) EXPECT_TRUE(Press(key, 3, 5));
    EXPECT_EQ(rig.Sent(), (Writes{{'M', idx, 100}, {'M', idx, 100}, {'M', idx, 101}}));
    EXPECT_EQ(FormatTwoDecimals(config.FuelPulseTable[idx]), "5.03");
    EXPECT_EQ(config.ConfigImage[idx], 100); // online: the ECU's echo brings the byte

    // Down: the byte drops only once the pulse crosses below it.
    rig.device.ClearWritten();
    config.ConfigImage.Set(0, 100);
    config.FuelPulseTable[0] = 5.0f;
    for (int key : {109, 189, 109}) EXPECT_TRUE(Press(key, 1, 1));
    EXPECT_EQ(rig.Sent(), (Writes{{'M', 0, 100}, {'M', 0, 100}, {'M', 0, 99}}));

    // Below 0 ms the pulse goes on, the byte stays 0.
    Press(109, 1, 2);
    EXPECT_EQ(rig.Sent().back(), (Write{'M', 1, 0}));
    EXPECT_EQ(FormatTwoDecimals(config.FuelPulseTable[1]), "-0.01");
}

// Raw, the byte steps within 0..255 (a plain step, and the image waiting for
// the echo, are tried on the window); a cell the map does not have (16000 rpm,
// a throttle far past THR MAX) and keys that do not step write nothing, but a
// step key is consumed all the same.
TEST_F(LiveFuelCellTest, RawPressesStepTheByteWithinItsRange) {
    DataFormat = R;
    // byte at row 2, column 6 (index 20), key, row, column, byte sent (-1: none)
    const std::tuple<int, int, int, int, int> cases[] = {
        {255, 107, 2, 6, 255},     {255, 187, 2, 6, 255}, {0, 109, 2, 6, 0},
        {0, 189, 2, 6, 0},         {100, 107, 1, 16, -1}, {100, 109, 12, 1, -1},
        {100, 107, 32767, 63, -1}, {100, 109, 0, 0, -1}};
    for (const auto& [byte, key, row, col, sent] : cases) {
        rig.device.ClearWritten();
        config.ConfigImage.Set(20, byte);
        EXPECT_TRUE(Press(key, static_cast<std::int16_t>(row), static_cast<std::int16_t>(col)));
        EXPECT_EQ(rig.Sent(), sent >= 0 ? (Writes{{'M', 20, sent}}) : Writes{})
            << byte << " " << key;
    }
    for (int key : {27, 65}) EXPECT_FALSE(Press(key, 2, 6));
}

} // namespace
} // namespace kavrin
