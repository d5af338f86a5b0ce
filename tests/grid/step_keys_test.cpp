#include "grid/step_keys.h"

#include "app/modulo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kavrin {
namespace {

// --- The editing boxes ------------------------------------------------------

struct BoxCase {
    StepBox box;
    DataFormatMode mode;
    const char* text;
    char key;
    std::optional<std::string> result; // nothing: the key is typed normally
};

class BoxStepKeys : public ::testing::TestWithParam<BoxCase> {};

TEST_P(BoxStepKeys, NewTextOfTheBox) {
    const BoxCase& c = GetParam();
    EXPECT_EQ(StepBoxText(c.box, c.text, c.key, c.mode), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    FuelFormatted, BoxStepKeys,
    ::testing::Values(BoxCase{StepBox::Fuel, kFormattedData, "1.23", '+', "1.24"},
                      BoxCase{StepBox::Fuel, kFormattedData, "1.23", '-', "1.22"},
                      BoxCase{StepBox::Fuel, kFormattedData, "0.00", '-', "-0.01"},
                      BoxCase{StepBox::Fuel, kFormattedData, "abc", '+', "0.01"},
                      BoxCase{StepBox::Fuel, kFormattedData, "20.4", '+', "20.41"},
                      BoxCase{StepBox::Fuel, kFormattedData, "1.23", '5', std::nullopt},
                      BoxCase{StepBox::Fuel, kFormattedData, "1.23", '.', std::nullopt}));

INSTANTIATE_TEST_SUITE_P(FuelRaw, BoxStepKeys,
                         ::testing::Values(BoxCase{StepBox::Fuel, kRawData, "0", '-', "0"},
                                           BoxCase{StepBox::Fuel, kRawData, "", '-', ""},
                                           BoxCase{StepBox::Fuel, kRawData, "-3", '-', "-3"},
                                           BoxCase{StepBox::Fuel, kRawData, "100", '-', "99"},
                                           BoxCase{StepBox::Fuel, kRawData, "255", '+', "256"},
                                           BoxCase{StepBox::Fuel, kRawData, "abc", '+', "1"},
                                           BoxCase{StepBox::Fuel, kRawData, "1.5", '+', "2.5"},
                                           BoxCase{StepBox::Fuel, kRawData, "7", 'x',
                                                   std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    Ignition, BoxStepKeys,
    ::testing::Values(BoxCase{StepBox::Ignition, kFormattedData, "10.00", '+', "10.35"},
                      BoxCase{StepBox::Ignition, kFormattedData, "10.00", '-', "9.65"},
                      BoxCase{StepBox::Ignition, kFormattedData, "0", '-', "-0.35"},
                      BoxCase{StepBox::Ignition, kRawData, "10.00", '+', "10.35"},
                      BoxCase{StepBox::Ignition, kRawData, "45", '+', "45.35"},
                      BoxCase{StepBox::Ignition, kFormattedData, "10", '=', std::nullopt}));

// --- Window keys ------------------------------------------------------------

TEST(WindowStepKeys, KeypadAndMainKeyboard) {
    EXPECT_EQ(WindowStepKey(107), StepDirection::Up);
    EXPECT_EQ(WindowStepKey(187), StepDirection::Up);
    EXPECT_EQ(WindowStepKey(109), StepDirection::Down);
    EXPECT_EQ(WindowStepKey(189), StepDirection::Down);
    EXPECT_EQ(WindowStepKey(27), std::nullopt);
    EXPECT_EQ(WindowStepKey(65), std::nullopt);
}

struct Write {
    char command;
    int index;
    int value;
    bool operator==(const Write&) const = default;
    friend std::ostream& operator<<(std::ostream& os, const Write& w) {
        return os << w.command << "(" << w.index << ", " << w.value << ")";
    }
};

// Behaves as the link does: the value limited to a byte, stored into the
// image while offline; every write is recorded.
class RecordingWriter final : public ConfigWriter {
public:
    RecordingWriter(Configuration& config, bool& online) : config_(config), online_(online) {}
    void WriteConfigByte(char command, std::int16_t& index, std::int16_t& value) override {
        value = std::clamp<std::int16_t>(value, 0, 255);
        writes.push_back({command, index, value});
        if (!online_) config_.ConfigImage.Set(index, value);
    }
    std::vector<Write> writes;

private:
    Configuration& config_;
    bool& online_;
};

class LiveFuelCellTest : public ::testing::Test {
protected:
    LiveFuelCellTest() { config.SizeImage(); }

    // Presses a key with no editing box open, the engine at (row, col).
    bool Press(int key, int row, int col) {
        std::int16_t code = static_cast<std::int16_t>(key);
        const bool handled = stepper.Form_KeyDown(code, static_cast<std::int16_t>(row),
                                                  static_cast<std::int16_t>(col));
        EXPECT_EQ(code, handled ? 0 : key);
        return handled;
    }

    Configuration config;
    bool online = false;
    RecordingWriter writer{config, online};
    DataFormatMode DataFormat = kFormattedData;
    LiveFuelCellStepper stepper{config, writer, DataFormat};
};

TEST_F(LiveFuelCellTest, FormattedPressesAccumulateInThePulseTable) {
    // Factor byte 0: 0.05 ms per step; the cell at 5.00 ms holds byte 100.
    const int idx = 2 * 15 + 4; // row 3, column 5
    config.ConfigImage.Set(idx, 100);
    config.FuelPulseTable[idx] = 5.0f;
    online = true;
    EXPECT_TRUE(Press(107, 3, 5));
    EXPECT_TRUE(Press(187, 3, 5));
    EXPECT_TRUE(Press(107, 3, 5));
    EXPECT_EQ(writer.writes,
              (std::vector<Write>{{'M', idx, 100}, {'M', idx, 100}, {'M', idx, 101}}));
    EXPECT_EQ(FormatTwoDecimals(config.FuelPulseTable[idx]), "5.03");
    EXPECT_EQ(config.ConfigImage[idx], 100); // online: the ECU's echo brings the byte
}

TEST_F(LiveFuelCellTest, FormattedDownStepsBelowTheByteOnlyWhenThePulseCrossesIt) {
    config.ConfigImage.Set(0, 100);
    config.FuelPulseTable[0] = 5.0f;
    EXPECT_TRUE(Press(109, 1, 1));
    EXPECT_TRUE(Press(189, 1, 1));
    EXPECT_EQ(writer.writes, (std::vector<Write>{{'M', 0, 100}, {'M', 0, 100}}));
    EXPECT_TRUE(Press(109, 1, 1));
    EXPECT_EQ(writer.writes.back(), (Write{'M', 0, 99}));
    EXPECT_EQ(config.ConfigImage[0], 99);
}

TEST_F(LiveFuelCellTest, FormattedStepsStayInTheByteRange) {
    config.FuelPulseTable[0] = 0.0f;
    Press(109, 1, 1);
    EXPECT_EQ(writer.writes.back(), (Write{'M', 0, 0}));
    EXPECT_EQ(FormatTwoDecimals(config.FuelPulseTable[0]), "-0.01");
}

struct RawCase {
    int byte;
    int key;
    int sent;
};

class RawLiveFuelCell : public LiveFuelCellTest, public ::testing::WithParamInterface<RawCase> {};

TEST_P(RawLiveFuelCell, StepsTheByte) {
    DataFormat = kRawData;
    config.ConfigImage.Set(20, GetParam().byte); // row 2, column 6
    EXPECT_TRUE(Press(GetParam().key, 2, 6));
    EXPECT_EQ(writer.writes, (std::vector<Write>{{'M', 20, GetParam().sent}}));
    EXPECT_EQ(config.ConfigImage[20], GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(Raw, RawLiveFuelCell,
                         ::testing::Values(RawCase{100, 107, 101}, RawCase{100, 109, 99},
                                           RawCase{255, 107, 255}, RawCase{255, 187, 255},
                                           RawCase{0, 109, 0}, RawCase{0, 189, 0},
                                           RawCase{0, 107, 1}));

TEST_F(LiveFuelCellTest, OtherKeysPassThrough) {
    EXPECT_FALSE(Press(27, 1, 1));
    EXPECT_FALSE(Press(65, 1, 1));
    EXPECT_TRUE(writer.writes.empty());
}

TEST_F(LiveFuelCellTest, AnOperatingPointOutsideTheMapStepsNothing) {
    // 16000 rpm and a throttle far past THR MAX give cells the map does not have.
    EXPECT_TRUE(Press(107, 1, 16));
    EXPECT_TRUE(Press(107, 12, 1));
    EXPECT_TRUE(Press(109, 32767, 63));
    EXPECT_TRUE(Press(109, 0, 0));
    EXPECT_TRUE(writer.writes.empty());
    EXPECT_EQ(config.FuelPulseTable[15], 0.0f);
}

TEST_F(LiveFuelCellTest, RawUpOnlineLeavesTheImageToTheEcusEcho) {
    DataFormat = kRawData;
    online = true;
    config.ConfigImage.Set(20, 100);
    EXPECT_TRUE(Press(107, 2, 6));
    EXPECT_TRUE(Press(107, 2, 6));
    EXPECT_EQ(writer.writes, (std::vector<Write>{{'M', 20, 101}, {'M', 20, 101}}));
    EXPECT_EQ(config.ConfigImage[20], 100);
}
} // namespace
} // namespace kavrin
