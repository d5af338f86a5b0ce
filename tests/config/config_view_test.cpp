#include "config/config_view.h"

#include "support/fake_controls.h"
#include "support/fake_grid_control.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kavrin {
namespace {

using test::FakeControl;
using test::FakeGridControl;

// Start dimensions: 15 x 11 fuel map, 14 + 7 compensation cells.
class ConfigViewTest : public testing::Test {
protected:
    ConfigViewTest() {
        controls.grd_fuel = &grd_fuel;
        controls.grd_ign = &grd_ign;
        controls.grd3 = &grd3;
        controls.grd4 = &grd4;
        for (auto& [name, field] : fields) *FieldSlot(name) = &field;
        for (std::size_t i = 0; i < options.size(); ++i) controls.options[i] = &options[i];
        for (std::size_t i = 0; i < options2.size(); ++i) controls.options2[i] = &options2[i];
        Resize(15, 11);
    }

    void Resize(int cols, int rows) {
        config.MapCols = static_cast<std::int16_t>(cols);
        config.MapRows = static_cast<std::int16_t>(rows);
        config.SizeImage();
        view.SizeGrids();
    }

    Control** FieldSlot(const std::string& name) {
        static const std::map<std::string, Control* ConfigControls::*> slots = {
            {"txtCompensation", &ConfigControls::txtCompensation},
            {"txtMainAngle", &ConfigControls::txtMainAngle},
            {"txtEFI_angle", &ConfigControls::txtEFI_angle},
            {"txtPump", &ConfigControls::txtPump},
            {"txtTHRmin", &ConfigControls::txtTHRmin},
            {"txtTHRmax", &ConfigControls::txtTHRmax},
            {"txtCorte", &ConfigControls::txtCorte},
            {"txtFactor", &ConfigControls::txtFactor},
            {"txtOffset", &ConfigControls::txtOffset},
            {"txtPriming", &ConfigControls::txtPriming},
            {"txtDwell", &ConfigControls::txtDwell},
        };
        return &(controls.*slots.at(name));
    }

    // Every table cell and field that shows `text`, as "grid(row,col)" or the
    // field's name.
    std::vector<std::string> PlacesShowing(const std::string& text) const {
        std::vector<std::string> places;
        for (const auto* grid : {&grd_fuel, &grd_ign, &grd3, &grd4}) {
            for (int r = 1; r < grid->Rows(); ++r)
                for (int k = 1; k < grid->Cols(); ++k)
                    if (grid->TextMatrix(r, k) == text)
                        places.push_back(grid->Name() + "(" + std::to_string(r) + "," +
                                         std::to_string(k) + ")");
        }
        for (const auto& [name, field] : fields)
            if (field.text == text) places.push_back(name);
        return places;
    }

    std::string Field(const std::string& name) const { return fields.at(name).text; }
    std::vector<bool> Ticks() const {
        std::vector<bool> ticks;
        for (const auto& box : options) ticks.push_back(box.checked);
        return ticks;
    }

    Configuration config;
    LinkFlags flags;
    DataFormatMode dataFormat = kFormattedData;
    FakeGridControl grd_fuel{"grd_fuel", 12, 16};
    FakeGridControl grd_ign{"grd_ign", 2, 16};
    FakeGridControl grd3{"grd3", 2, 15};
    FakeGridControl grd4{"grd4", 2, 8};
    std::map<std::string, FakeControl> fields = {
        {"txtCompensation", {}}, {"txtMainAngle", {}}, {"txtEFI_angle", {}}, {"txtPump", {}},
        {"txtTHRmin", {}},       {"txtTHRmax", {}},    {"txtCorte", {}},     {"txtFactor", {}},
        {"txtOffset", {}},       {"txtPriming", {}},   {"txtDwell", {}},
    };
    std::array<FakeControl, 8> options;
    std::array<FakeControl, 2> options2;
    ConfigControls controls;
    std::map<std::pair<int, int>, Colour> fuelColours;
    ConfigView view{config, flags, dataFormat, controls,
                    [this](std::int16_t row, std::int16_t col, Colour colour) {
                        fuelColours[{row, col}] = colour;
                    }};
};

// --- Layout -----------------------------------------------------------------

TEST_F(ConfigViewTest, GridsAreSizedForTheStartDimensions) {
    EXPECT_EQ(grd_fuel.Rows(), 12);
    EXPECT_EQ(grd_fuel.Cols(), 16);
    EXPECT_EQ(grd_ign.Cols(), 16);
    EXPECT_EQ(grd3.Cols(), 15);
    EXPECT_EQ(grd4.Cols(), 8);
    EXPECT_EQ(config.ConfigImage.size(), 215);
}

struct PlaceCase {
    int index;
    std::vector<std::string> places; // where the byte shows up in raw mode
    std::string text = "77";
};

class ConfigLayoutTest : public ConfigViewTest, public testing::WithParamInterface<PlaceCase> {};

// In raw mode every view shows its byte, so one marked byte shows where it lives.
TEST_P(ConfigLayoutTest, OneByteShowsInExactlyOnePlace) {
    dataFormat = kRawData;
    config.ConfigImage.Set(GetParam().index, 77);
    view.ShowConfig();
    EXPECT_EQ(PlacesShowing(GetParam().text), GetParam().places);
}

INSTANTIATE_TEST_SUITE_P(
    StartDimensions, ConfigLayoutTest,
    testing::Values(PlaceCase{0, {"grd_fuel(1,1)"}}, PlaceCase{14, {"grd_fuel(1,15)"}},
                    PlaceCase{15, {"grd_fuel(2,1)"}}, PlaceCase{164, {"grd_fuel(11,15)"}},
                    PlaceCase{165, {"grd_ign(1,1)"}}, PlaceCase{179, {"grd_ign(1,15)"}},
                    PlaceCase{180, {"grd3(1,1)"}}, PlaceCase{193, {"grd3(1,14)"}},
                    PlaceCase{194, {"grd4(1,1)"}}, PlaceCase{200, {"grd4(1,7)"}},
                    PlaceCase{201, {"txtCompensation"}}, PlaceCase{202, {"txtMainAngle"}},
                    PlaceCase{203, {"txtEFI_angle"}}, PlaceCase{204, {"txtPump"}},
                    PlaceCase{205, {"txtTHRmin"}}, PlaceCase{206, {"txtTHRmax"}},
                    PlaceCase{208, {"txtCorte"}, "19712"}, PlaceCase{209, {"txtFactor"}},
                    PlaceCase{210, {"txtOffset"}}, PlaceCase{211, {"txtPriming"}},
                    PlaceCase{212, {"txtDwell"}},
                    // The spare byte carries the dump's check byte; nothing shows it.
                    PlaceCase{214, {}}));

TEST_F(ConfigViewTest, SecondOptionByteTicksItsTwoBoxesAndIgnoresTheOtherBits) {
    config.ConfigImage.Set(213, 0xFE);
    view.ShowConfig();
    EXPECT_FALSE(options2[0].checked);
    EXPECT_TRUE(options2[1].checked);
    EXPECT_EQ(Ticks(), std::vector<bool>(8, false));
}

// --- Scaling ----------------------------------------------------------------

struct ScaleCase {
    int index;
    int byte;
    std::string place;
    std::string formatted;
    std::string raw;
};

class ConfigScaleTest : public ConfigViewTest, public testing::WithParamInterface<ScaleCase> {
protected:
    std::string Shown(const std::string& place) const {
        if (place == "grd_ign") return grd_ign.TextMatrix(1, 1);
        if (place == "grd3") return grd3.TextMatrix(1, 1);
        if (place == "grd4") return grd4.TextMatrix(1, 1);
        return Field(place);
    }
};

TEST_P(ConfigScaleTest, ShowsTheScaledValueFormattedAndTheStoredValueRaw) {
    const ScaleCase& c = GetParam();
    config.ConfigImage.Set(c.index, c.byte);
    view.ShowConfig();
    EXPECT_EQ(Shown(c.place), c.formatted);
    dataFormat = kRawData;
    view.ShowConfig();
    EXPECT_EQ(Shown(c.place), c.raw);
}

INSTANTIATE_TEST_SUITE_P(
    StartDimensions, ConfigScaleTest,
    testing::Values(
        ScaleCase{165, 128, "grd_ign", "45.0", "128"}, ScaleCase{180, 128, "grd3", "100.0", "128"},
        ScaleCase{194, 128, "grd4", "100.0", "128"},
        ScaleCase{201, 128, "txtCompensation", "100.0", "128"},
        ScaleCase{202, 128, "txtMainAngle", "45.0", "128"},
        ScaleCase{203, 100, "txtEFI_angle", "35.2", "100"},
        ScaleCase{204, 255, "txtPump", "100.0", "255"}, ScaleCase{205, 20, "txtTHRmin", "20", "20"},
        ScaleCase{206, 220, "txtTHRmax", "220", "220"},
        // The cut-off shows rpm formatted and the engine-speed count raw.
        ScaleCase{208, 24, "txtCorte", "6000", "6144"},
        ScaleCase{209, 100, "txtFactor", "80", "100"}, ScaleCase{211, 10, "txtPriming", "33", "10"},
        ScaleCase{212, 100, "txtDwell", "2.56", "100"}));

struct OffsetCase {
    int factorByte;
    float fuelScale;
    std::string offsetText;
};

class ConfigOffsetTest : public ConfigViewTest, public testing::WithParamInterface<OffsetCase> {};

TEST_P(ConfigOffsetTest, EfiOffsetIsScaledBySixteenFuelSteps) {
    config.ConfigImage.Set(209, GetParam().factorByte);
    config.ConfigImage.Set(210, 10);
    view.ShowConfig();
    EXPECT_FLOAT_EQ(config.FuelScale, GetParam().fuelScale);
    EXPECT_EQ(Field("txtOffset"), GetParam().offsetText);
}

INSTANTIATE_TEST_SUITE_P(FactorBytes, ConfigOffsetTest,
                         testing::Values(OffsetCase{0, 0.05f, "8.00"},
                                         OffsetCase{100, 0.08f, "12.80"}));

// --- Fuel cells -------------------------------------------------------------

TEST_F(ConfigViewTest, FuelCellsShowThePulseFormattedAndTheByteRaw) {
    config.ConfigImage.Set(209, 0); // 0.05 ms per step
    config.ConfigImage.Set(16, 100);
    config.UpdateFuelScale();
    config.RecomputeFuelPulses();
    view.ShowConfig();
    EXPECT_EQ(grd_fuel.TextMatrix(2, 2), "5.00");
    EXPECT_EQ(grd_fuel.TextMatrix(1, 1), "0.00");
    dataFormat = kRawData;
    view.ShowConfig();
    EXPECT_EQ(grd_fuel.TextMatrix(2, 2), "100");
}

// An "M" echo stores the byte but leaves the pulse table as it was.
TEST_F(ConfigViewTest, AfterAnEchoTheFormattedCellKeepsTheOldPulse) {
    config.ConfigImage.Set(0, 100);
    config.UpdateFuelScale();
    config.RecomputeFuelPulses();
    view.ShowConfig();
    ASSERT_EQ(grd_fuel.TextMatrix(1, 1), "5.00");

    config.ConfigImage.Set(0, 120);
    view.ShowConfig();
    EXPECT_EQ(grd_fuel.TextMatrix(1, 1), "5.00");
    dataFormat = kRawData;
    view.ShowConfig();
    EXPECT_EQ(grd_fuel.TextMatrix(1, 1), "120");
}

struct ColourCase {
    int byte;
    Colour colour;
};

class FuelColourTest : public ConfigViewTest, public testing::WithParamInterface<ColourCase> {};

TEST_P(FuelColourTest, BandOfTheByte) {
    EXPECT_EQ(FuelCellColour(static_cast<std::int16_t>(GetParam().byte)), GetParam().colour);
}

TEST_P(FuelColourTest, RecolouredCellGetsTheColourOfItsByte) {
    config.ConfigImage.Set(17, GetParam().byte); // row 2, column 3
    config.RecolourFuel = true;
    view.ShowConfig();
    EXPECT_EQ(fuelColours.at({2, 3}), GetParam().colour);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, FuelColourTest,
    testing::Values(ColourCase{0, Rgb(0, 0, 0)}, ColourCase{59, Rgb(0, 0, 0)},
                    ColourCase{60, Rgb(90, 30, 0)}, ColourCase{79, Rgb(90, 30, 0)},
                    ColourCase{80, Rgb(128, 50, 0)}, ColourCase{119, Rgb(128, 50, 0)},
                    ColourCase{120, Rgb(128, 80, 0)}, ColourCase{139, Rgb(128, 80, 0)},
                    ColourCase{140, Rgb(160, 128, 0)}, ColourCase{179, Rgb(160, 128, 0)},
                    ColourCase{180, Rgb(210, 128, 0)}, ColourCase{219, Rgb(210, 128, 0)},
                    ColourCase{220, Rgb(240, 80, 0)}, ColourCase{239, Rgb(240, 80, 0)},
                    ColourCase{240, Rgb(255, 0, 0)}, ColourCase{255, Rgb(255, 0, 0)}));

TEST_F(ConfigViewTest, RecolouringColoursEveryFuelCellOnceAndOnlyThen) {
    config.RecolourFuel = true;
    view.ShowConfig();
    EXPECT_EQ(fuelColours.size(), 165u);
    EXPECT_FALSE(config.RecolourFuel);
    EXPECT_EQ(fuelColours.count({12, 1}), 0u) << "the ignition row is not a fuel cell";

    fuelColours.clear();
    view.ShowConfig();
    EXPECT_TRUE(fuelColours.empty());
}

// --- Option boxes -----------------------------------------------------------

TEST_F(ConfigViewTest, OptionByteTicksOneBoxPerBitWithoutWritingBack) {
    int writes = 0;
    std::vector<bool> suppressedWhileSet;
    for (auto& box : options) {
        box.checked = true;
        // The box's click handler: it writes unless the program is filling the boxes.
        box.onChecked = [&] {
            suppressedWhileSet.push_back(flags.suppressWrites);
            if (!flags.suppressWrites) ++writes;
        };
    }
    config.ConfigImage.Set(207, 129);
    view.ShowConfig();

    EXPECT_EQ(Ticks(), (std::vector<bool>{true, false, false, false, false, false, false, true}));
    EXPECT_EQ(writes, 0);
    EXPECT_EQ(suppressedWhileSet, std::vector<bool>(8, true));
    EXPECT_FALSE(flags.suppressWrites) << "the flag is lowered again afterwards";
}

// --- Guards -----------------------------------------------------------------

TEST_F(ConfigViewTest, DoesNothingWhileWritesAreSuppressed) {
    config.ConfigImage.Set(0, 50);
    config.ConfigImage.Set(201, 128);
    config.ConfigImage.Set(207, 1);
    config.RecolourFuel = true;
    flags.suppressWrites = true;
    dataFormat = kRawData;
    view.ShowConfig();

    EXPECT_EQ(grd_fuel.TextMatrix(1, 1), "");
    EXPECT_EQ(Field("txtCompensation"), "");
    EXPECT_FALSE(options[0].checked);
    EXPECT_TRUE(config.RecolourFuel);
    EXPECT_TRUE(fuelColours.empty());
    EXPECT_TRUE(flags.suppressWrites);
}

// A 20 x 12 map fills the image before the ignition row ends: bytes past the
// configuration are never shown, and the parameters are skipped altogether.
TEST_F(ConfigViewTest, MapTooLargeForTheImageLeavesTheRestUntouched) {
    Resize(20, 12);
    ASSERT_EQ(config.ImageLast, 255);
    for (int i = 0; i < 256; ++i) config.ConfigImage.Set(i, i);
    for (auto& [name, field] : fields) field.text = "untouched";
    grd_ign.SetTextMatrix(1, 16, "untouched");
    grd3.SetTextMatrix(1, 1, "untouched");
    grd4.SetTextMatrix(1, 1, "untouched");
    options[0].checked = true;
    dataFormat = kRawData;
    view.ShowConfig();

    EXPECT_EQ(grd_fuel.TextMatrix(12, 20), "239");
    EXPECT_EQ(grd_ign.TextMatrix(1, 1), "240");
    EXPECT_EQ(grd_ign.TextMatrix(1, 15), "254");
    EXPECT_EQ(grd_ign.TextMatrix(1, 16), "untouched");
    EXPECT_EQ(grd3.TextMatrix(1, 1), "untouched");
    EXPECT_EQ(grd4.TextMatrix(1, 1), "untouched");
    EXPECT_EQ(PlacesShowing("untouched").size(), 1u + 2u + 11u);
    EXPECT_TRUE(options[0].checked);
}

// Parameters that start inside the image but run past its last byte: the
// fields inside show their bytes, those at or past the spare byte keep theirs.
TEST_F(ConfigViewTest, ParametersPastTheImageKeepTheirText) {
    Resize(16, 13); // parameters from 245; the image ends at 255
    ASSERT_EQ(config.ParamBase, 245);
    ASSERT_EQ(config.ImageLast, 255);
    for (int i = 0; i < 256; ++i) config.ConfigImage.Set(i, 3);
    for (auto& [name, field] : fields) field.text = "untouched";
    options2[0].checked = true;
    dataFormat = kRawData;
    view.ShowConfig();

    EXPECT_EQ(Field("txtCompensation"), "3");
    EXPECT_EQ(Field("txtOffset"), "3");          // 254
    EXPECT_EQ(Field("txtPriming"), "untouched"); // 255, the spare byte
    EXPECT_EQ(Field("txtDwell"), "untouched");
    EXPECT_EQ(Ticks(), (std::vector<bool>{true, true, false, false, false, false, false, false}));
    EXPECT_TRUE(options2[0].checked) << "the second option byte lies past the image";
}

} // namespace
} // namespace kavrin
