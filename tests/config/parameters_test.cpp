#include "config/parameters.h"

#include "app/language_texts.h"
#include "config/map_cells.h"
#include "support/fake_controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace kavrin {
namespace {

using test::FakeControl;
using test::FakeMessageBoxes;

struct Write {
    char command;
    int index;
    int value;
    bool operator==(const Write&) const = default;
    friend std::ostream& operator<<(std::ostream& os, const Write& w) {
        return os << w.command << "(" << w.index << ", " << w.value << ")";
    }
};

// Behaves as the link does: nothing while writes are suppressed, the value
// limited to a byte, stored into the image while offline; every write that
// would leave the window is recorded.
class RecordingWriter final : public ConfigWriter {
public:
    RecordingWriter(Configuration& config, LinkFlags& flags) : config_(config), flags_(flags) {}
    void WriteConfigByte(char command, std::int16_t& index, std::int16_t& value) override {
        if (flags_.suppressWrites) return;
        value = std::clamp<std::int16_t>(value, 0, 255);
        writes.push_back({command, index, value});
        if (!flags_.online) config_.ConfigImage.Set(index, value);
    }
    std::vector<Write> writes;

private:
    Configuration& config_;
    LinkFlags& flags_;
};

class CountingRefresh final : public ConfigRefresh {
public:
    void ShowConfig() override { ++showConfig; }
    void LayoutMaps() override { ++layoutMaps; }
    int showConfig = 0;
    int layoutMaps = 0;
};

LanguageTexts RescaleTexts() {
    std::string file;
    for (int i = 1; i <= 92; ++i) {
        std::string text = "text " + std::to_string(i);
        if (i == 49) text = "EFI factor";
        if (i == 92) text = "Rescale the fuel map?";
        file += std::to_string(i) + ";" + text + "\r\n";
    }
    LanguageTexts texts;
    texts.Load(file);
    return texts;
}

class ParametersTest : public ::testing::Test {
protected:
    ParametersTest() : texts(RescaleTexts()) { config.SizeImage(); }

    ParameterControls Controls() {
        ParameterControls c;
        for (int i = 0; i < 8; ++i) c.options[i] = &options[i];
        for (int i = 0; i < 2; ++i) c.options2[i] = &options2[i];
        c.txtCompensation = &txtCompensation;
        c.txtMainAngle = &txtMainAngle;
        c.txtEFI_angle = &txtEFI_angle;
        c.txtPump = &txtPump;
        c.txtTHRmin = &txtTHRmin;
        c.txtTHRmax = &txtTHRmax;
        c.txtCorte = &txtCorte;
        c.txtFactor = &txtFactor;
        c.txtOffset = &txtOffset;
        c.txtPriming = &txtPriming;
        c.txtDwell = &txtDwell;
        c.lblfactor = &lblfactor;
        c.lbloffset = &lbloffset;
        return c;
    }

    int P(int offset) const { return config.ParamBase + offset; }
    // The one write the last edit sent, as (index, value).
    Write OnlyWrite() const {
        EXPECT_EQ(writer.writes.size(), 1u);
        return writer.writes.empty() ? Write{} : writer.writes.back();
    }

    Configuration config;
    LinkFlags flags;
    RecordingWriter writer{config, flags};
    CountingRefresh refresh;
    FakeMessageBoxes messages;
    LanguageTexts texts;
    DataFormatMode DataFormat = kFormattedData;
    std::array<std::int32_t, 21> LastValues{};

    FakeControl txtCompensation, txtMainAngle, txtEFI_angle, txtPump, txtTHRmin, txtTHRmax,
        txtCorte, txtFactor, txtOffset, txtPriming, txtDwell, lblfactor, lbloffset;
    std::array<FakeControl, 8> options;
    std::array<FakeControl, 2> options2;
    ParameterControls controls = Controls();
    ParameterFields fields{controls, config, flags,      writer,    refresh,
                           messages, texts,  DataFormat, LastValues};
};

// --- The fields: what a typed text writes, and where --------------------------

struct FieldCase {
    const char* field;
    DataFormatMode mode;
    const char* typed;
    int offset;
    int written;
};

class FieldWrites : public ParametersTest, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(FieldWrites, WritesTheByteAtTheFieldsIndex) {
    const FieldCase& c = GetParam();
    DataFormat = c.mode;
    struct Entry {
        FakeControl* control;
        void (ParameterFields::*validate)();
    };
    const std::string name = c.field;
    const Entry e =
        name == "txtCompensation"
            ? Entry{&txtCompensation, &ParameterFields::txtCompensation_Validate}
        : name == "txtMainAngle" ? Entry{&txtMainAngle, &ParameterFields::txtMainAngle_Validate}
        : name == "txtEFI_angle" ? Entry{&txtEFI_angle, &ParameterFields::txtEFI_angle_Validate}
        : name == "txtPump"      ? Entry{&txtPump, &ParameterFields::txtPump_Validate}
        : name == "txtTHRmin"    ? Entry{&txtTHRmin, &ParameterFields::txtTHRmin_Validate}
        : name == "txtTHRmax"    ? Entry{&txtTHRmax, &ParameterFields::txtTHRmax_Validate}
        : name == "txtCorte"     ? Entry{&txtCorte, &ParameterFields::txtCorte_Validate}
        : name == "txtOffset"    ? Entry{&txtOffset, &ParameterFields::txtOffset_Validate}
        : name == "txtPriming"   ? Entry{&txtPriming, &ParameterFields::txtPriming_Validate}
                                 : Entry{&txtDwell, &ParameterFields::txtDwell_Validate};
    e.control->text = c.typed;
    (fields.*e.validate)();
    EXPECT_EQ(OnlyWrite(), (Write{'M', P(c.offset), c.written}));
    EXPECT_EQ(config.ConfigImage[P(c.offset)], c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Formatted, FieldWrites,
    ::testing::Values(FieldCase{"txtCompensation", kFormattedData, "100", 0, 128},
                      FieldCase{"txtCompensation", kFormattedData, "abc", 0, 0},
                      FieldCase{"txtMainAngle", kFormattedData, "45", 1, 128},
                      FieldCase{"txtMainAngle", kFormattedData, "100", 1, 255},
                      FieldCase{"txtMainAngle", kFormattedData, "-5", 1, 0},
                      FieldCase{"txtEFI_angle", kFormattedData, "10", 2, 28},
                      FieldCase{"txtPump", kFormattedData, "50", 3, 128},
                      FieldCase{"txtPump", kFormattedData, "100", 3, 255},
                      FieldCase{"txtTHRmin", kFormattedData, "20.5", 4, 20},
                      FieldCase{"txtTHRmax", kFormattedData, "300", 5, 255},
                      FieldCase{"txtCorte", kFormattedData, "6000", 7, 24},
                      FieldCase{"txtCorte", kFormattedData, "6100", 7, 24},
                      FieldCase{"txtCorte", kFormattedData, "6250", 7, 25},
                      FieldCase{"txtCorte", kFormattedData, "-100", 7, 0},
                      FieldCase{"txtPriming", kFormattedData, "33", 10, 10},
                      FieldCase{"txtDwell", kFormattedData, "2.56", 11, 100}));

INSTANTIATE_TEST_SUITE_P(Raw, FieldWrites,
                         ::testing::Values(FieldCase{"txtCompensation", kRawData, "100", 0, 100},
                                           FieldCase{"txtMainAngle", kRawData, "300", 1, 255},
                                           FieldCase{"txtMainAngle", kRawData, "-1", 1, 0},
                                           FieldCase{"txtMainAngle", kRawData, "45", 1, 45},
                                           FieldCase{"txtPump", kRawData, "50", 3, 50},
                                           FieldCase{"txtCorte", kRawData, "6000", 7, 24},
                                           FieldCase{"txtOffset", kRawData, "12.5", 9, 12},
                                           FieldCase{"txtOffset", kRawData, "999", 9, 255},
                                           FieldCase{"txtPriming", kRawData, "33", 10, 33},
                                           FieldCase{"txtDwell", kRawData, "2.56", 11, 3}));

// Numbers far beyond what 16 bits hold saturate and are then limited to a byte.
INSTANTIATE_TEST_SUITE_P(
    HugeNumbers, FieldWrites,
    ::testing::Values(FieldCase{"txtCompensation", kFormattedData, "1e30", 0, 255},
                      FieldCase{"txtCompensation", kFormattedData, "-1e30", 0, 0},
                      FieldCase{"txtMainAngle", kFormattedData, "1e300", 1, 255},
                      FieldCase{"txtPump", kFormattedData, "99999999", 3, 255},
                      FieldCase{"txtTHRmin", kRawData, "1e30", 4, 255},
                      FieldCase{"txtCorte", kFormattedData, "1e30", 7, 255},
                      FieldCase{"txtCorte", kFormattedData, "99999999", 7, 255},
                      FieldCase{"txtCorte", kFormattedData, "-1e30", 7, 0},
                      FieldCase{"txtOffset", kFormattedData, "99999999", 9, 255},
                      FieldCase{"txtOffset", kRawData, "1e300", 9, 255},
                      FieldCase{"txtOffset", kFormattedData, "-99999999", 9, 0},
                      FieldCase{"txtPriming", kFormattedData, "1e308", 10, 255},
                      FieldCase{"txtDwell", kFormattedData, "1e30", 11, 255}));

TEST_F(ParametersTest, FormattedOffsetIsCountedInSixteenFuelSteps) {
    config.ConfigImage.Set(P(8), 100);
    config.UpdateFuelScale(); // 0.08 ms per step
    txtOffset.text = "12.8";
    fields.txtOffset_Validate();
    EXPECT_EQ(OnlyWrite(), (Write{'M', P(9), 10}));
    EXPECT_EQ(refresh.showConfig, 1);
}

TEST_F(ParametersTest, OffsetBeforeTheImageWasShownUsesTheImagesScale) {
    ASSERT_EQ(config.FuelScale, 0.0f); // no ShowConfig yet: factor byte 0 gives 0.05 ms
    txtOffset.text = "8";
    fields.txtOffset_Validate();
    EXPECT_EQ(OnlyWrite(), (Write{'M', P(9), 10}));
}

TEST_F(ParametersTest, EfiAngleShowsTheAngleTheByteGives) {
    txtEFI_angle.text = "10";
    fields.txtEFI_angle_Validate();
    EXPECT_EQ(txtEFI_angle.text, "9.8");
    DataFormat = kRawData;
    txtEFI_angle.text = "300";
    fields.txtEFI_angle_Validate();
    EXPECT_EQ(txtEFI_angle.text, "255");
}

TEST_F(ParametersTest, OtherFieldsKeepTheirTypedText) {
    txtCompensation.text = "100";
    fields.txtCompensation_Validate();
    txtDwell.text = "2.56";
    fields.txtDwell_Validate();
    EXPECT_EQ(txtCompensation.text, "100");
    EXPECT_EQ(txtDwell.text, "2.56");
}

TEST_F(ParametersTest, ThrottleLimitsAndCutOffLayTheMapsOutAgain) {
    txtTHRmin.text = "20";
    fields.txtTHRmin_Validate();
    txtTHRmax.text = "220";
    fields.txtTHRmax_Validate();
    txtCorte.text = "6000";
    fields.txtCorte_Validate();
    EXPECT_EQ(refresh.layoutMaps, 3);
    EXPECT_EQ(refresh.showConfig, 0);
    txtPump.text = "50";
    fields.txtPump_Validate();
    EXPECT_EQ(refresh.layoutMaps, 3);
}

TEST_F(ParametersTest, OnlineTheFieldSendsAndLeavesTheImage) {
    flags.online = true;
    txtCompensation.text = "100";
    fields.txtCompensation_Validate();
    EXPECT_EQ(OnlyWrite(), (Write{'M', P(0), 128}));
    EXPECT_EQ(config.ConfigImage[P(0)], 0);
}

// --- The "..." buttons ------------------------------------------------------

TEST_F(ParametersTest, ThrottleButtonsTakeTheLastThrottleReading) {
    LastValues[5] = 37;
    fields.cmdTHRmin_Click();
    EXPECT_EQ(txtTHRmin.text, "37");
    LastValues[5] = 300;
    fields.cmdTHRmax_Click();
    EXPECT_EQ(txtTHRmax.text, "300"); // the field keeps the reading, the write is limited
    EXPECT_EQ(writer.writes, (std::vector<Write>{{'M', P(4), 37}, {'M', P(5), 255}}));
    EXPECT_EQ(refresh.layoutMaps, 2);
}

// --- Option switches --------------------------------------------------------

TEST_F(ParametersTest, TickingAnOptionSetsItsBit) {
    options[3].checked = true;
    fields.options_Click(3);
    EXPECT_EQ(OnlyWrite(), (Write{'M', P(6), 8}));
}

TEST_F(ParametersTest, ClearingAnOptionClearsItsBitAndKeepsTheOthers) {
    config.ConfigImage.Set(P(6), 255);
    options[0].checked = false;
    fields.options_Click(0);
    EXPECT_EQ(OnlyWrite(), (Write{'M', P(6), 254}));
}

TEST_F(ParametersTest, SecondOptionByteKeepsItsUnusedBits) {
    config.ConfigImage.Set(P(12), 252);
    options2[1].checked = true;
    fields.options2_Click(1);
    EXPECT_EQ(OnlyWrite(), (Write{'M', P(12), 254}));
}

TEST_F(ParametersTest, BoxesSetWhileWritesAreSuppressedWriteNothing) {
    for (int i = 0; i < 8; ++i) options[i].onChecked = [this, i] { fields.options_Click(i); };
    flags.suppressWrites = true;
    options[0].SetChecked(true);
    options[7].SetChecked(true);
    flags.suppressWrites = false;
    EXPECT_TRUE(writer.writes.empty());
    EXPECT_EQ(config.ConfigImage[P(6)], 0);
}

TEST_F(ParametersTest, OptionIndexesOutsideTheArraysAreIgnored) {
    fields.options_Click(8);
    fields.options_Click(-1);
    fields.options2_Click(2);
    EXPECT_TRUE(writer.writes.empty());
}

// --- EFI factor -------------------------------------------------------------

struct FactorCase {
    DataFormatMode mode;
    const char* typed;
    int written;
};

class FactorWrites : public ParametersTest, public ::testing::WithParamInterface<FactorCase> {};

TEST_P(FactorWrites, FactorIsNeverZero) {
    DataFormat = GetParam().mode;
    messages.answerYes = false;
    txtFactor.text = GetParam().typed;
    fields.txtFactor_Validate();
    EXPECT_EQ(OnlyWrite(), (Write{'M', P(8), GetParam().written}));
}

INSTANTIATE_TEST_SUITE_P(
    Factor, FactorWrites,
    ::testing::Values(FactorCase{kFormattedData, "0", 1}, FactorCase{kRawData, "0", 1},
                      FactorCase{kFormattedData, "abc", 1}, FactorCase{kFormattedData, "80", 100},
                      FactorCase{kRawData, "300", 255}, FactorCase{kRawData, "-7", 1},
                      FactorCase{kFormattedData, "1e30", 255}));

class FactorRescale : public ParametersTest {
protected:
    void FillFuel(std::initializer_list<int> bytes) {
        int i = 0;
        for (int b : bytes) config.ConfigImage.Set(i++, b);
    }
    void EnterFactor(int oldFactor, const char* typed) {
        DataFormat = kRawData;
        config.ConfigImage.Set(P(8), oldFactor);
        txtFactor.text = typed;
        fields.txtFactor_Validate();
    }
};

TEST_F(FactorRescale, AsksWithTheLanguagesTexts) {
    EnterFactor(100, "200");
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"EFI factor: Rescale the fuel map?"}));
    EXPECT_EQ(refresh.showConfig, 1);
}

TEST_F(FactorRescale, NoLeavesTheFuelMapAlone) {
    messages.answerYes = false;
    FillFuel({3, 5, 7});
    EnterFactor(100, "200");
    EXPECT_EQ(config.ConfigImage[0], 3);
    EXPECT_EQ(config.ConfigImage[2], 7);
    EXPECT_FALSE(config.RecolourFuel);
    EXPECT_EQ(refresh.showConfig, 1);
    EXPECT_EQ(writer.writes, (std::vector<Write>{{'M', P(8), 200}}));
}

TEST_F(FactorRescale, OfflineYesHalvesTheMapInTheImageOnly) {
    FillFuel({3, 5, 7, 0, 255});
    EnterFactor(100, "200");
    EXPECT_EQ(config.ConfigImage[0], 2);
    EXPECT_EQ(config.ConfigImage[1], 2);
    EXPECT_EQ(config.ConfigImage[2], 4);
    EXPECT_EQ(config.ConfigImage[3], 0);
    EXPECT_EQ(config.ConfigImage[4], 128);
    EXPECT_EQ(config.ConfigImage[P(8)], 200);
    // The pulses are those of the new factor: 0.16 ms per step.
    EXPECT_FLOAT_EQ(config.FuelPulseTable[2], 4 * 0.16f);
    EXPECT_FLOAT_EQ(config.FuelPulseTable[4], 128 * 0.16f);
    EXPECT_TRUE(config.RecolourFuel);
    // Offline only the factor is written; the image is the ECU's copy to come.
    EXPECT_EQ(writer.writes, (std::vector<Write>{{'M', P(8), 200}}));
    EXPECT_EQ(refresh.showConfig, 1);
}

TEST_F(FactorRescale, SmallerFactorLimitsTheBytes) {
    FillFuel({1, 2, 0, 200});
    EnterFactor(255, "1");
    EXPECT_EQ(config.ConfigImage[0], 255);
    EXPECT_EQ(config.ConfigImage[1], 255);
    EXPECT_EQ(config.ConfigImage[2], 0);
    EXPECT_EQ(config.ConfigImage[3], 255);
}

TEST_F(FactorRescale, OnlineYesSendsEveryRescaledByteWithTheNewFactorsPulses) {
    flags.online = true;
    FillFuel({3, 5, 7});
    config.ConfigImage.Set(config.FuelCells - 1, 9);
    EnterFactor(100, "200");

    // The factor first, then every fuel cell in index order.
    ASSERT_EQ(writer.writes.size(), 1u + config.FuelCells);
    EXPECT_EQ(writer.writes[0], (Write{'M', P(8), 200}));
    EXPECT_EQ(writer.writes[1], (Write{'M', 0, 2}));
    EXPECT_EQ(writer.writes[2], (Write{'M', 1, 2}));
    EXPECT_EQ(writer.writes[3], (Write{'M', 2, 4}));
    EXPECT_EQ(writer.writes[4], (Write{'M', 3, 0}));
    EXPECT_EQ(writer.writes.back(), (Write{'M', config.FuelCells - 1, 4}));

    // The image keeps its factor until the ECU echoes it; the pulses already
    // follow the factor sent (0.16 ms per step), not the old 0.08.
    EXPECT_EQ(config.ConfigImage[P(8)], 100);
    EXPECT_EQ(config.ConfigImage[2], 4);
    EXPECT_FLOAT_EQ(config.FuelPulseTable[2], 4 * 0.16f);
    EXPECT_EQ(FormatTwoDecimals(config.FuelPulseTable[0]), "0.32");
    EXPECT_TRUE(config.RecolourFuel);
    EXPECT_EQ(refresh.showConfig, 1);
}

TEST_F(FactorRescale, OnlineNoSendsOnlyTheFactor) {
    flags.online = true;
    messages.answerYes = false;
    FillFuel({3, 5, 7});
    EnterFactor(100, "200");
    EXPECT_EQ(writer.writes, (std::vector<Write>{{'M', P(8), 200}}));
    EXPECT_EQ(config.ConfigImage[0], 3);
}

// --- Suggested factor and offset -------------------------------------------

TEST_F(ParametersTest, SuggestionSpansTheMapsPulses) {
    for (int i = 0; i < config.FuelCells; ++i)
        config.FuelPulseTable[i] = 1.0f + 2.0f * i / (config.FuelCells - 1);
    fields.SuggestFuelScale();
    EXPECT_EQ(lblfactor.text, "8.00");
    EXPECT_EQ(lbloffset.text, "14336");
    const FuelScaleSuggestion s = ComputeFuelScaleSuggestion(config);
    EXPECT_EQ(s.factor, 10);
    EXPECT_EQ(s.offset, 112);
}

TEST_F(ParametersTest, SuggestionForAnEmptyMapIsFactorOne) {
    fields.SuggestFuelScale();
    EXPECT_EQ(lblfactor.text, "0.80");
    EXPECT_EQ(lbloffset.text, "0");
}

TEST_F(ParametersTest, SuggestionWithALargeOffsetLimitsIt) {
    // All pulses 10 ms: a span of 0 gives factor 1 and an offset far above a byte.
    std::fill_n(config.FuelPulseTable.begin(), config.FuelCells, 10.0f);
    const FuelScaleSuggestion s = ComputeFuelScaleSuggestion(config);
    EXPECT_EQ(s.offset, 255);
    EXPECT_EQ(s.factor, 25); // 10 ms / 0.0008 / 510 = 24.5098
    fields.SuggestFuelScale();
    EXPECT_EQ(lblfactor.text, "20.00");
    EXPECT_EQ(lbloffset.text, "81600");
}

// --- Angles -----------------------------------------------------------------

struct AngleCase {
    DataFormatMode mode;
    const char* text;
    int byte;
};

class AngleBytes : public ::testing::TestWithParam<AngleCase> {};

TEST_P(AngleBytes, DegreesOrBytes) {
    EXPECT_EQ(AngleToByte(GetParam().text, GetParam().mode), GetParam().byte);
}

INSTANTIATE_TEST_SUITE_P(
    Angles, AngleBytes,
    ::testing::Values(AngleCase{kFormattedData, "0", 0}, AngleCase{kFormattedData, "45", 128},
                      AngleCase{kFormattedData, "89.5", 255}, AngleCase{kFormattedData, "100", 255},
                      AngleCase{kFormattedData, "-5", 0}, AngleCase{kFormattedData, "10", 28},
                      AngleCase{kFormattedData, "x", 0}, AngleCase{kFormattedData, "1e300", 255},
                      AngleCase{kRawData, "128", 128}, AngleCase{kRawData, "256", 255},
                      AngleCase{kRawData, "-3", 0}, AngleCase{kRawData, "2.5", 2}));

} // namespace
} // namespace kavrin
