#include "config/map_cells.h"

#include "app/modulo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace kavrin {
namespace {

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

struct CellColour {
    int row;
    int col;
    Colour colour;
    bool operator==(const CellColour&) const = default;
};

class MapCellsTest : public ::testing::Test {
protected:
    MapCellsTest() {
        config.SizeImage();
        config.ConfigImage.Set(config.ParamBase + 8, 100); // 0.08 ms per fuel step
    }

    // Runs a handler as the grid editor does and returns the cell's text.
    template <typename Handler>
    std::string Edit(Handler handler, int row, int col, std::string typed) {
        std::int16_t r = static_cast<std::int16_t>(row);
        std::int16_t c = static_cast<std::int16_t>(col);
        bool cancel = false;
        (handlers.*handler)(r, c, typed, cancel);
        EXPECT_FALSE(cancel);
        return typed;
    }
    std::string Fuel(int row, int col, std::string typed) {
        return Edit(&MapCellHandlers::ogrd_fuel_ValidarCelda, row, col, std::move(typed));
    }

    Configuration config;
    LinkFlags flags;
    RecordingWriter writer{config, flags};
    DataFormatMode DataFormat = kFormattedData;
    std::vector<CellColour> colours;
    int suggestions = 0;
    MapCellHandlers handlers{config,
                             flags,
                             writer,
                             DataFormat,
                             [this](std::int16_t r, std::int16_t c, Colour colour) {
                                 colours.push_back({r, c, colour});
                             },
                             [this] { ++suggestions; }};
};

// --- Conversions -------------------------------------------------------------

TEST_F(MapCellsTest, FuelCellIndexIsRowByRow) {
    EXPECT_EQ(FuelCellIndex(config, 1, 1), 0);
    EXPECT_EQ(FuelCellIndex(config, 1, 15), 14);
    EXPECT_EQ(FuelCellIndex(config, 2, 1), 15);
    EXPECT_EQ(FuelCellIndex(config, 11, 15), 164);
}

TEST_F(MapCellsTest, RawToMsLimitsTheCallersByte) {
    std::int16_t raw = 300;
    EXPECT_FLOAT_EQ(FuelRawToMs(config, raw), 255 * 0.08f);
    EXPECT_EQ(raw, 255);
}

TEST_F(MapCellsTest, ConversionsFollowTheFactorInTheImage) {
    config.ConfigImage.Set(config.ParamBase + 8, 0); // the ECU's 0.05 ms fallback
    std::int16_t raw = 100;
    EXPECT_FLOAT_EQ(FuelRawToMs(config, raw), 5.0f);
    EXPECT_EQ(FuelMsToRaw(config, 5.0f), 100);
    EXPECT_FLOAT_EQ(config.FuelScale, 0.05f);
}

TEST_F(MapCellsTest, MsToRawLimitsToAByte) {
    EXPECT_EQ(FuelMsToRaw(config, -1.0f), 0);
    EXPECT_EQ(FuelMsToRaw(config, 30.0f), 255);
    EXPECT_EQ(FuelMsToRaw(config, 3.0e38f), 255);
    EXPECT_EQ(FuelMsToRaw(config, 2.05f), 26); // 25.625
    EXPECT_EQ(FuelMsToRaw(config, 0.04f), 0);  // 0.5, to even
    EXPECT_EQ(FuelMsToRaw(config, 0.12f), 2);  // 1.5, to even
}

// --- Fuel map ----------------------------------------------------------------

struct FuelCase {
    DataFormatMode mode;
    const char* typed;
    int written;
    const char* shown;
    Colour colour;
};

class FuelCells : public MapCellsTest, public ::testing::WithParamInterface<FuelCase> {};

TEST_P(FuelCells, OfflineWritesTheByteAndShowsWhatItGives) {
    const FuelCase& c = GetParam();
    DataFormat = c.mode;
    const int idx = 17; // row 2, column 3
    EXPECT_EQ(Fuel(2, 3, c.typed), c.shown);
    EXPECT_EQ(writer.writes, (std::vector<Write>{{'M', idx, c.written}}));
    EXPECT_EQ(config.ConfigImage[idx], c.written);
    EXPECT_FLOAT_EQ(config.FuelPulseTable[idx], c.written * 0.08f);
    EXPECT_EQ(colours, (std::vector<CellColour>{{2, 3, c.colour}}));
}

INSTANTIATE_TEST_SUITE_P(
    Formatted, FuelCells,
    ::testing::Values(FuelCase{kFormattedData, "2", 25, "2.00", Rgb(0, 0, 0)},
                      FuelCase{kFormattedData, "2,05", 26, "2.08", Rgb(0, 0, 0)},
                      FuelCase{kFormattedData, "2.05", 26, "2.08", Rgb(0, 0, 0)},
                      FuelCase{kFormattedData, "30", 255, "20.40", Rgb(255, 0, 0)},
                      FuelCase{kFormattedData, "not a number", 0, "0.00", Rgb(0, 0, 0)},
                      FuelCase{kFormattedData, "-3", 0, "0.00", Rgb(0, 0, 0)},
                      FuelCase{kFormattedData, "1e300", 255, "20.40", Rgb(255, 0, 0)},
                      FuelCase{kFormattedData, "4.8", 60, "4.80", Rgb(90, 30, 0)}));

INSTANTIATE_TEST_SUITE_P(Raw, FuelCells,
                         ::testing::Values(FuelCase{kRawData, "300", 255, "255", Rgb(255, 0, 0)},
                                           FuelCase{kRawData, "59", 59, "59", Rgb(0, 0, 0)},
                                           FuelCase{kRawData, "60", 60, "60", Rgb(90, 30, 0)},
                                           FuelCase{kRawData, "239", 239, "239", Rgb(240, 80, 0)},
                                           FuelCase{kRawData, "-4", 0, "0", Rgb(0, 0, 0)},
                                           FuelCase{kRawData, "1e30", 255, "255", Rgb(255, 0, 0)},
                                           FuelCase{kRawData, "abc", 0, "0", Rgb(0, 0, 0)}));

TEST_F(MapCellsTest, CommaIsNoDecimalPointInRawMode) {
    DataFormat = kRawData;
    EXPECT_EQ(Fuel(1, 1, "2,7"), "2");
}

TEST_F(MapCellsTest, OnlineFuelCellSendsAndLeavesTheImageToTheEcusEcho) {
    flags.online = true;
    config.ConfigImage.Set(17, 7);
    EXPECT_EQ(Fuel(2, 3, "2,05"), "2.05"); // the comma is already a point
    EXPECT_EQ(writer.writes, (std::vector<Write>{{'M', 17, 26}}));
    EXPECT_EQ(config.ConfigImage[17], 7);
    // The pulse and colour change at once; the cell shows the pulse when the
    // echo refreshes the views.
    EXPECT_EQ(FormatTwoDecimals(config.FuelPulseTable[17]), "2.08");
    EXPECT_EQ(colours.size(), 1u);

    DataFormat = kRawData;
    EXPECT_EQ(Fuel(2, 3, "300"), "300");
    EXPECT_EQ(writer.writes.back(), (Write{'M', 17, 255}));
    EXPECT_EQ(config.ConfigImage[17], 7);
}

TEST_F(MapCellsTest, FormattedFuelEditsRefreshTheSuggestion) {
    Fuel(1, 1, "2");
    EXPECT_EQ(suggestions, 1);
    DataFormat = kRawData;
    Fuel(1, 1, "2");
    EXPECT_EQ(suggestions, 1);
}

TEST_F(MapCellsTest, ASelectionGivesOneWritePerCellInOrder) {
    std::string text = "2";
    for (int col = 4; col <= 6; ++col) text = Fuel(3, col, text);
    EXPECT_EQ(writer.writes, (std::vector<Write>{{'M', 33, 25}, {'M', 34, 25}, {'M', 35, 25}}));
}

// --- Ignition map -----------------------------------------------------------

struct IgnitionCase {
    DataFormatMode mode;
    bool online;
    const char* typed;
    int written;
    const char* shown;
};

class IgnitionCells : public MapCellsTest, public ::testing::WithParamInterface<IgnitionCase> {};

TEST_P(IgnitionCells, WritesTheAngleByteAndShowsItsAngle) {
    const IgnitionCase& c = GetParam();
    DataFormat = c.mode;
    flags.online = c.online;
    EXPECT_EQ(Edit(&MapCellHandlers::ogrd_ign_ValidarCelda, 1, 4, c.typed), c.shown);
    EXPECT_EQ(writer.writes, (std::vector<Write>{{'M', 168, c.written}}));
    EXPECT_EQ(config.ConfigImage[168], c.online ? 0 : c.written);
}

INSTANTIATE_TEST_SUITE_P(Ignition, IgnitionCells,
                         ::testing::Values(IgnitionCase{kFormattedData, false, "10", 28, "9.8"},
                                           IgnitionCase{kFormattedData, false, "95", 255, "89.6"},
                                           IgnitionCase{kFormattedData, false, "-10", 0, "0.0"},
                                           IgnitionCase{kFormattedData, true, "10", 28, "9.8"},
                                           IgnitionCase{kRawData, false, "300", 255, "255"},
                                           IgnitionCase{kRawData, true, "28", 28, "28"}));

TEST_F(MapCellsTest, IgnitionColumnsFollowTheFuelMap) {
    Edit(&MapCellHandlers::ogrd_ign_ValidarCelda, 1, 1, "0");
    Edit(&MapCellHandlers::ogrd_ign_ValidarCelda, 1, 15, "0");
    EXPECT_EQ(writer.writes, (std::vector<Write>{{'M', 165, 0}, {'M', 179, 0}}));
}

// --- Compensation tables ------------------------------------------------------

struct CompensationCase {
    DataFormatMode mode;
    const char* typed;
    int written;
    const char* shown;
};

class CompensationCells : public MapCellsTest,
                          public ::testing::WithParamInterface<CompensationCase> {};

TEST_P(CompensationCells, EngineAndAirTablesOffline) {
    const CompensationCase& c = GetParam();
    DataFormat = c.mode;
    EXPECT_EQ(Edit(&MapCellHandlers::ogrd3_ValidarCelda, 1, 1, c.typed), c.shown);
    EXPECT_EQ(Edit(&MapCellHandlers::ogrd4_ValidarCelda, 1, 7, c.typed), c.shown);
    EXPECT_EQ(writer.writes, (std::vector<Write>{{'M', 180, c.written}, {'M', 200, c.written}}));
    EXPECT_EQ(config.ConfigImage[180], c.written);
    EXPECT_EQ(config.ConfigImage[200], c.written);
}

INSTANTIATE_TEST_SUITE_P(Compensation, CompensationCells,
                         ::testing::Values(CompensationCase{kFormattedData, "100", 128, "100.0"},
                                           CompensationCase{kFormattedData, "250", 255, "199.2"},
                                           CompensationCase{kFormattedData, "-1", 0, "0.0"},
                                           CompensationCase{kFormattedData, "1e30", 255, "199.2"},
                                           CompensationCase{kRawData, "128", 128, "128"},
                                           CompensationCase{kRawData, "300", 255, "255"}));

TEST_F(MapCellsTest, OnlineCompensationLeavesTheTypedText) {
    flags.online = true;
    EXPECT_EQ(Edit(&MapCellHandlers::ogrd3_ValidarCelda, 1, 14, "250"), "250");
    EXPECT_EQ(writer.writes, (std::vector<Write>{{'M', 193, 255}}));
    EXPECT_EQ(config.ConfigImage[193], 0);
}

} // namespace
} // namespace kavrin
