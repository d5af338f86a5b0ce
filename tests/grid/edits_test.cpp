// SPDX-License-Identifier: GPL-3.0-or-later
// What the user types into the parameter fields and the map cells, the step
// keys and the ".efi" files loaded: the byte each writes, into the image
// offline or onto the wire online, and what the window shows and refreshes for
// it; the files refused whole before anything changes.
#include "base/modulo.h"
#include "base/text_entries.h"
#include "config/efi_file.h"
#include "config/map_cells.h"
#include "config/parameters.h"
#include "grid/step_keys.h"

#include "support/fake_controls.h"
#include "support/link_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace kavrin {
namespace {

using test::FakeControl;
using test::Write;
using Writes = std::vector<Write>;
constexpr DataFormatMode F = kFormattedData, R = kRawData;
using Handler = void (MapCellHandlers::*)(std::int16_t&, std::int16_t&, std::string&, bool&);
constexpr Handler Fuel = &MapCellHandlers::ogrd_fuel_ValidarCelda;
constexpr Handler Ign = &MapCellHandlers::ogrd_ign_ValidarCelda;
constexpr Handler Eng = &MapCellHandlers::ogrd3_ValidarCelda;
constexpr Handler Air = &MapCellHandlers::ogrd4_ValidarCelda;
using CellColours = std::vector<std::tuple<int, int, Colour>>; // row, column, colour

struct CountingRefresh final : ConfigRefresh {
    void ShowConfig() override { ++showConfig; }
    void LayoutMaps() override { ++layoutMaps; }
    int showConfig = 0, layoutMaps = 0;
};

// A start-sized image with no byte at its start value.
Configuration Filled() {
    Configuration c;
    c.SizeImage();
    for (int i = 0; i <= c.ImageLast; ++i) c.ConfigImage.Set(i, (i * 37 + 5) % 256);
    return c;
}

std::string Values(int count) {
    std::string s;
    for (int i = 1; i <= count; ++i) s += DecimalText(i % 256) + "\r\n";
    return s;
}

const std::string kHeader = "format=15x11\r\nsize=214\r\n;EFI\r\n";

// Online and formatted unless a test says otherwise: every write is a message
// on the wire.
class EditsTest : public ::testing::Test {
protected:
    EditsTest() {
        DataFormat = F;
        rig.Open();
        flags.online = true;
        texts.Load(test::NumberedLanguageFile());
        for (int i = 0; i < 8; ++i) controls.options[i] = &options[i];
        for (int i = 0; i < 2; ++i) controls.options2[i] = &options2[i];
    }

    int P(int offset) const { return config.ParamBase + offset; }
    // Types text into the field and leaves it; returns the writes that caused.
    Writes Enter(int offset, const char* text) {
        using PF = ParameterFields; // the handlers of offsets 0..11 but 6, the option byte
        static constexpr void (PF::*validate[])() = {
            &PF::txtCompensation_Validate, &PF::txtMainAngle_Validate, &PF::txtEFI_angle_Validate,
            &PF::txtPump_Validate,         &PF::txtTHRmin_Validate,    &PF::txtTHRmax_Validate,
            &PF::txtCorte_Validate,        &PF::txtFactor_Validate,    &PF::txtOffset_Validate,
            &PF::txtPriming_Validate,      &PF::txtDwell_Validate};
        rig.device.ClearWritten();
        field[offset].text = text;
        (fields.*validate[offset < 6 ? offset : offset - 1])();
        return rig.Sent();
    }
    // Presses a key with no editing box open, the engine at (row, col). A step
    // key is consumed.
    bool Press(int key, std::int16_t row, std::int16_t col) {
        std::int16_t code = static_cast<std::int16_t>(key);
        const bool handled = stepper.Form_KeyDown(code, row, col);
        EXPECT_EQ(code, handled ? 0 : key);
        return handled;
    }
    // Reads a file over a filled image and loads it when accepted, as the window
    // does; online every value goes out as a write message.
    EfiReadResult Load(const std::string& text) {
        config = Filled();
        rig.device.ClearWritten();
        const EfiReadResult read = ReadEfiText(text, config);
        if (read.ok) rig.Load(read, [this] { refresh.ShowConfig(); });
        return read;
    }
    // Runs a cell handler as the grid editor does and returns the cell's text.
    std::string Edit(Handler handler, int row, int col, std::string typed) {
        std::int16_t r = static_cast<std::int16_t>(row), c = static_cast<std::int16_t>(col);
        bool cancel = false;
        (cells.*handler)(r, c, typed, cancel);
        EXPECT_FALSE(cancel);
        return typed;
    }

    test::LinkRig rig;
    LanguageTexts texts;
    Configuration& config = rig.config;
    LinkFlags& flags = rig.state.flags;
    CountingRefresh refresh;
    test::FakeMessageBoxes messages;
    WindowState state;
    DataFormatMode& DataFormat = state.DataFormat;
    LiveValueStore& LastValues = state.LastValues;
    std::array<FakeControl, 12> field; // by parameter offset; 6 is the option byte
    FakeControl lblfactor, lbloffset;
    std::array<FakeControl, 8> options;
    std::array<FakeControl, 2> options2;
    ParameterControls controls{&field[0],  &field[1], &field[2], &field[3],  &field[4],
                               &field[5],  &field[7], &field[8], &field[9],  &field[10],
                               &field[11], {},        {},        &lblfactor, &lbloffset};
    ParameterFields fields{controls, config, flags, rig.link, refresh, messages, texts, state};
    CellColours colours;
    int suggestions = 0;
    MapCellHandlers cells{config,
                          flags,
                          rig.link,
                          state,
                          [this](std::int16_t r, std::int16_t c, Colour colour) {
                              colours.push_back({r, c, colour});
                          },
                          [this] { ++suggestions; }};
    LiveFuelCellStepper stepper{config, rig.link, state};
};

TEST_F(EditsTest, EachFieldWritesItsByteAndRefreshesWhatDependsOnIt) {
    struct Case {
        DataFormatMode mode;
        const char* typed;
        int offset, written;
        const char* shown = nullptr; // nothing: the field keeps the typed text
    };
    messages.answerYes = false; // the factor is never 0, whatever is typed
    // One formatted row per field pins its scale; the shared raw path once.
    // A raw compensation and a negative main angle are typed on the window.
    // Offset "8" is sixteen fuel steps of factor byte 0's 0.05 ms. Numbers
    // beyond 16 bits saturate, then the write limits them to a byte.
    const Case cases[] = {{F, "100", 0, 128},      {F, "abc", 0, 0},          {F, "45", 1, 128},
                          {F, "-5", 1, 0},         {F, "89.5", 1, 255},       {R, "2.5", 1, 2},
                          {F, "10", 2, 28, "9.8"}, {R, "300", 2, 255, "255"}, {F, "50", 3, 128},
                          {F, "20.5", 4, 20},      {F, "300", 5, 255},        {F, "6200", 7, 24},
                          {F, "6250", 7, 25},      {R, "6000", 7, 24},        {R, "12.5", 9, 12},
                          {F, "33", 10, 10},       {F, "2.56", 11, 100},      {R, "2.56", 11, 3},
                          {F, "0", 8, 1},          {F, "80", 8, 100},         {R, "300", 8, 255},
                          {R, "-7", 8, 1},         {F, "8", 9, 10},           {F, "1e30", 0, 255},
                          {F, "1e300", 1, 255},    {F, "99999999", 7, 255},   {F, "-1e30", 7, 0},
                          {F, "99999999", 9, 255}, {F, "1e30", 8, 255}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.offset) + " <- " + c.typed);
        DataFormat = c.mode;
        refresh.layoutMaps = refresh.showConfig = 0;
        EXPECT_EQ(Enter(c.offset, c.typed), (Writes{{'M', P(c.offset), c.written}}));
        EXPECT_EQ(field[c.offset].text, c.shown ? c.shown : c.typed);
        // THR MIN, THR MAX and the cut-off bound the maps; factor and offset
        // change how the image is shown.
        const bool bounds = c.offset == 4 || c.offset == 5 || c.offset == 7;
        EXPECT_EQ(refresh.layoutMaps, bounds ? 1 : 0);
        EXPECT_EQ(refresh.showConfig, c.offset == 8 || c.offset == 9 ? 1 : 0);
    }
}

TEST_F(EditsTest, ThrottleButtonsTakeTheLastThrottleReading) {
    LastValues[5] = 37;
    fields.cmdTHRmin_Click();
    LastValues[5] = 300;
    fields.cmdTHRmax_Click();
    EXPECT_EQ(field[4].text, "37");
    EXPECT_EQ(field[5].text, "300"); // the field keeps the reading, the write is limited
    EXPECT_EQ(rig.Sent(), (Writes{{'M', P(4), 37}, {'M', P(5), 255}}));
    EXPECT_EQ(refresh.layoutMaps, 2);
}

TEST_F(EditsTest, OptionBoxesSetOrClearOnlyTheirBit) {
    options[3].checked = true;
    fields.options_Click(3); // 0 -> 8
    config.ConfigImage.Set(P(6), 255);
    fields.options_Click(0); // unticked: 255 -> 254
    config.ConfigImage.Set(P(12), 252);
    options2[1].checked = true;
    fields.options2_Click(1); // the unused bits stay
    fields.options_Click(8);  // no such boxes
    fields.options_Click(-1);
    fields.options2_Click(2);
    // Boxes ticked by the program while writes are suppressed are no edits.
    for (int i = 0; i < 8; ++i) options[i].onChecked = [this, i] { fields.options_Click(i); };
    const SuppressWrites quiet(state.writes);
    options[7].SetChecked(true);
    EXPECT_EQ(rig.Sent(), (Writes{{'M', P(6), 8}, {'M', P(6), 254}, {'M', P(12), 254}}));
}

// A new factor asks whether to rescale the fuel map so its pulses stay.
// Offline the factor and the cells go into the image, the ECU's copy to come;
// online the factor goes first, then every fuel cell in index order, and the
// image keeps its factor until the echo. The pulses follow the new factor.
TEST_F(EditsTest, FactorRescale) {
    const struct {
        bool online, yes;
        int oldFactor, factor;
        std::vector<int> before, after; // the first fuel bytes
    } cases[] = {{true, false, 100, 200, {3, 5, 7}, {3, 5, 7}},
                 {false, true, 100, 200, {3, 5, 7, 0, 255}, {2, 2, 4, 0, 128}},
                 {false, true, 255, 1, {1, 2, 0, 200}, {255, 255, 0, 255}}, // limited
                 {true, true, 100, 200, {3, 5, 7, 0}, {2, 2, 4, 0}}};
    DataFormat = R;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.online) + std::to_string(c.yes) + std::to_string(c.factor));
        flags.online = c.online;
        messages.answerYes = c.yes;
        messages.shown.clear();
        config.RecolourFuel = false;
        config.ConfigImage.Set(P(8), c.oldFactor);
        for (std::size_t i = 0; i < c.before.size(); ++i)
            config.ConfigImage.Set(int(i), c.before[i]);
        const Writes writes = Enter(8, std::to_string(c.factor).c_str());
        EXPECT_EQ(messages.shown, std::vector<std::string>{"T49: T92"});
        Writes want;
        std::vector<int> bytes;
        if (c.online) want.push_back({'M', P(8), c.factor});
        for (std::size_t i = 0; i < c.after.size(); ++i) {
            bytes.push_back(config.ConfigImage[int(i)]);
            if (c.online && c.yes) want.push_back({'M', int(i), c.after[i]});
        }
        EXPECT_EQ(Writes(writes.begin(), writes.begin() + static_cast<long>(want.size())), want);
        EXPECT_EQ(writes.size(), c.online ? 1u + (c.yes ? config.FuelCells : 0) : 0u);
        EXPECT_EQ(config.ConfigImage[P(8)], c.online ? c.oldFactor : c.factor);
        EXPECT_EQ(bytes, c.after);
        EXPECT_EQ(config.RecolourFuel, c.yes);
        if (c.yes) {
            EXPECT_FLOAT_EQ(config.FuelPulseTable[2], c.after[2] * FuelScaleForFactor(c.factor));
        }
    }
}

TEST_F(EditsTest, SuggestionSpansTheMapsPulses) {
    auto suggested = [this] {
        fields.SuggestFuelScale();
        return lblfactor.text + " " + lbloffset.text;
    };
    EXPECT_EQ(suggested(), "0.80 0"); // an empty map: factor 1
    for (int i = 0; i < config.FuelCells; ++i)
        config.FuelPulseTable[i] = 1.0f + 2.0f * i / (config.FuelCells - 1);
    EXPECT_EQ(suggested(), "8.00 14336"); // 1.0 .. 3.0 ms: factor 10, offset 112
    // All pulses 10 ms: an offset far above a byte is limited to 255 and the
    // factor becomes 10 ms / 0.0008 / 510, rounded: 25.
    std::fill_n(config.FuelPulseTable.begin(), config.FuelCells, 10.0f);
    EXPECT_EQ(suggested(), "20.00 81600");
}

// Offline the byte goes into the image; online to the ECU, the cell keeping
// the typed text until the echo (the window tries a typed comma and the echo).
// The pulse and colour change at once. "0.12" is 1.5 steps, rounded to even.
TEST_F(EditsTest, FuelCellWritesTheByteAndShowsWhatItGives) {
    constexpr bool on = true, off = false;
    constexpr Colour kBlack = Rgb(0, 0, 0), kRed = Rgb(255, 0, 0);
    constexpr Colour kBrown = Rgb(90, 30, 0), kOrange = Rgb(240, 80, 0);
    config.ConfigImage.Set(P(8), 100); // 0.08 ms per fuel step
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
TEST_F(EditsTest, IgnitionAndCompensationCellsWriteTheirByte) {
    using Case = std::tuple<Handler, int, int, DataFormatMode, bool, const char*, int, const char*>;
    config.ConfigImage.Set(P(8), 100);
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

// Factor byte 0: 0.05 ms per step, so a cell at 5.00 ms holds byte 100.
TEST_F(EditsTest, FormattedPressesAccumulateInThePulseTable) {
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
TEST_F(EditsTest, RawPressesStepTheByteWithinItsRange) {
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

TEST_F(EditsTest, AcceptedEfiFiles) {
    const std::string written = WriteEfiText(Filled());
    const struct {
        std::string text;
        std::size_t writes; // one per value, in index order from 0
        int cols, rows, last, index, value;
    } cases[] = {
        {written, 214, 15, 11, 214, 213, Filled().ConfigImage[213]}, // what is written
        {"format=15x11\r\nsize=999\r\n;EFI\r\n" + Values(214), 214, 15, 11, 214, 213, 214},
        {kHeader + Values(215), 215, 15, 11, 214, 214, 215}, // onto the spare byte
        {kHeader + Values(216), 215, 15, 11, 214, 214, 215}, // the 216th is ignored
        {kHeader + Values(10), 10, 15, 11, 214, 10, 0},      // the rest are zeros
        {kHeader + "12,34\r\n", 2, 15, 11, 214, 1, 34},
        {"format=15x11\nsize=214\n;EFI\n 7 , 8 \n", 2, 15, 11, 214, 1, 8},
        {kHeader + "1,2\r\n;whatever\r\n3\r\n", 3, 15, 11, 214, 2, 3},
        {"hello\r\nformat=15x11\r\nsize=214\r\nmode=1\r\n;EFI\r\n5\r\n", 1, 15, 11, 214, 0, 5},
        {"format=15x11\r\nsize=214\r\n1,2,3\r\n", 0, 15, 11, 214, 0, 0}, // no ;EFI line
        {kHeader + "12.5,13.5\r\n", 2, 15, 11, 214, 1, 14},
        {kHeader + "\r\n4\r\n   \r\n5\r\n", 2, 15, 11, 214, 1, 5},
        // Without size= only the dimensions change, the image is not resized.
        {"format=10x5\r\n;EFI\r\n1,2\r\n", 2, 10, 5, 214, 2, Filled().ConfigImage[2]},
        // The largest map that fits: 15 x 14 would need 260 bytes.
        {"format=14x14\r\nsize=0\r\n;EFI\r\n1\r\n", 1, 14, 14, 14 * 14 + 14 + 14 + 7 + 13, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        refresh.showConfig = 0;
        const EfiReadResult read = Load(c.text);
        ASSERT_TRUE(read.ok) << read.reasonText;
        const Writes sent = rig.Sent();
        ASSERT_EQ(sent.size(), c.writes);
        for (std::size_t i = 0; i < c.writes; ++i)
            EXPECT_EQ(sent[i], (Write{'M', int(i), config.ConfigImage[int(i)]}));
        EXPECT_EQ((std::vector<int>{int{config.MapCols}, int{config.MapRows}, config.ImageLast,
                                    int{config.ConfigImage[c.index]}}),
                  (std::vector<int>{c.cols, c.rows, c.last, c.value}));
        EXPECT_EQ(refresh.showConfig, 1);
        EXPECT_TRUE(config.RecolourFuel);
    }
    Load(written); // the pulses follow (the round trip is the fuzz target's)
    EXPECT_FLOAT_EQ(config.FuelPulseTable[3], config.ConfigImage[3] * config.FuelScale);
}

TEST_F(EditsTest, RefusedEfiFiles) {
    using namespace text;
    const std::tuple<std::string, int, int, const char*> cases[] = {
        {kHeader + "1,2\r\n256\r\n", 5, kEfiOutOfRange, "256"},
        {kHeader + "-1\r\n", 4, kEfiOutOfRange, "-1"},
        {kHeader + "1e40\r\n", 4, kEfiOutOfRange, "2147483647"},
        {kHeader + "1,abc,3\r\n", 4, kEfiNotANumber, "abc"},
        {kHeader + "1,,3\r\n", 4, kEfiNotANumber, ""},
        {"format=0x11\r\nsize=214\r\n;EFI\r\n", 1, kEfiSizeNotPositive, "format=0x11"},
        {"format=-15x11\r\n", 1, kEfiSizeNotPositive, "format=-15x11"},
        {"format=15\r\n", 1, kEfiSizeNotPositive, "format=15"},
        {"format=16x14\r\nsize=300\r\n;EFI\r\n", 1, kEfiSizeTooLarge, "format=16x14"},
        {std::string("format=15x11\r\n\x01\x02\0\xFF", 18), 2, kEfiBinary, ""},
    };
    for (const auto& [text, line, reason, value] : cases) {
        const EfiReadResult read = Load(text);
        EXPECT_FALSE(read.ok) << value;
        EXPECT_EQ(std::tuple(read.line, read.reasonText, read.reasonValue),
                  std::tuple(line, reason, std::string(value)));
        EXPECT_TRUE(rig.Sent().empty()) << value;
    }
}

} // namespace
} // namespace kavrin
