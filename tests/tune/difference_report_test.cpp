// SPDX-License-Identifier: GPL-3.0-or-later
// The difference report's rows: each kind of item named as the window names
// it, with the window's and the ECU's values as the display mode shows them.
#include "tune/difference_report.h"
#include "tune/tune_texts.h"
#include "support/fake_link_host.h"

#include <gtest/gtest.h>

#include <string>

namespace kavrin {
namespace {

// THR MIN 20 and THR MAX 220, an EFI factor of 100 (0.08 ms per step).
Configuration Window() {
    Configuration c;
    c.SizeImage();
    c.ConfigImage.Set(205, 20);
    c.ConfigImage.Set(206, 220);
    c.ConfigImage.Set(209, 100);
    return c;
}

TEST(DifferenceReport, OneRowPerItemNamedByItsHeadersInBothDisplayModes) {
    const LanguageTexts texts = test::EnglishTexts();
    Configuration window = Window();
    ByteOwnership ownership(window);
    std::vector<std::uint8_t> dump(215);
    for (int i = 0; i < 215; ++i) dump[i] = window.ConfigImage[i];
    const struct {
        int index, window, ecu;
    } changes[] = {{94, 25, 26},  {166, 128, 28},    {183, 128, 64},   {194, 64, 128},
                   {208, 24, 25}, {207, 0x01, 0x80}, {213, 0x04, 0x00}};
    for (const auto& c : changes) {
        window.ConfigImage.Set(c.index, c.window);
        ownership.OfflineWrite(c.index, static_cast<std::uint8_t>(c.window));
        dump[c.index] = static_cast<std::uint8_t>(c.ecu);
    }
    const ReconcileResult result = Reconcile(window, ownership, dump);

    // Each row as "name | column | row | the window's | the ECU's".
    const auto shown = [&](DataFormatMode mode) {
        std::vector<std::string> rows;
        for (const ReportRow& r : BuildDifferenceReport(result, window, mode, texts).rows)
            rows.push_back(r.name + " | " + r.column + " | " + r.row + " | " + r.windowText +
                           " | " + r.otherText + (r.mine ? "" : " | not mine"));
        return rows;
    };
    EXPECT_EQ(shown(kFormattedData),
              (std::vector<std::string>{
                  "fuel map cell 5000 rpm / 49.9% | 5000 | 49.9% | 2.00 | 2.08",
                  "ignition map cell 2000 rpm | 2000 |  | 45.0 | 9.8",
                  "engine temperature compensation cell 30 °C | 30 |  | 100.0 | 50.0",
                  "air temperature compensation cell 0 °C | 0 |  | 50.0 | 100.0",
                  "EFI interpolation |  |  | on | off",
                  "AIR temp comp. |  |  | off | on",
                  "Cut off |  |  | 6000 | 6250",
                  "option byte 2, bits without a switch |  |  | 4 | 0",
              }));
    EXPECT_EQ(shown(kRawData),
              (std::vector<std::string>{
                  "fuel map cell 5000 rpm / 120 | 5000 | 120 | 25 | 26",
                  "ignition map cell 2000 rpm | 2000 |  | 128 | 28",
                  "engine temperature compensation cell 30 °C | 30 |  | 128 | 64",
                  "air temperature compensation cell 0 °C | 0 |  | 64 | 128",
                  "EFI interpolation |  |  | 1 | 0",
                  "AIR temp comp. |  |  | 0 | 1",
                  "Cut off |  |  | 6144 | 6400",
                  "option byte 2, bits without a switch |  |  | 4 | 0",
              }));

    // Taking the ECU's value of one switch keeps the byte's other bits.
    const DifferenceReport report = BuildDifferenceReport(result, window, kRawData, texts);
    const int rows[] = {5, 0, 99};
    EXPECT_EQ(TakeOtherValues(report, rows), (std::vector<ByteWrite>{{94, 26}, {207, 0x81}}));
}

TEST(DifferenceReport, OtherDimensionsGiveOneRowForTheWholeConfiguration) {
    const LanguageTexts texts = test::EnglishTexts();
    Configuration window = Window();
    Configuration file;
    file.MapCols = 16;
    file.SizeImage();
    const DifferenceReport report = CompareConfigurations(window, file, kFormattedData, texts);
    EXPECT_TRUE(report.dimensionsDiffer);
    ASSERT_EQ(report.Count(), 1);
    EXPECT_EQ(report.rows[0].name, "whole configuration");
    EXPECT_EQ(report.rows[0].windowText, "format=15x11 size=214");
    EXPECT_EQ(report.rows[0].otherText, "format=16x11 size=226");
    EXPECT_TRUE(TakeOtherValues(report, std::vector<int>{0}).empty());

    // Compared with itself, a configuration has no differences.
    EXPECT_EQ(CompareConfigurations(window, Window(), kRawData, texts).Count(), 0);
}

} // namespace
} // namespace kavrin
