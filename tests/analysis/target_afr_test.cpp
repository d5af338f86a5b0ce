// SPDX-License-Identifier: GPL-3.0-or-later
// The target table: its default by the rows' throttle headers, its text, and
// the texts it refuses.
#include "analysis/target_afr.h"

#include <gtest/gtest.h>

namespace kavrin {
namespace {

// Headers 0.0, 6.3 .. 25.1, 37.6, 50.2, 62.4, 74.9, 87.5, 100.0 % (the headers
// of other throttle limits are the map layout's).
TEST(TargetAfrTable, DefaultIsStoichiometricToAQuarterThrottleThenRicherToFull) {
    const double rows[] = {14.7, 14.7, 14.7, 14.7, 14.7, 14.4, 14.1, 13.8, 13.4, 13.1, 12.8};
    const FuelMapModel map(15, 11, ThrottleAxisFor(0, 255), false);
    const TargetAfrTable table = TargetAfrTable::Default(map);
    ASSERT_TRUE(table.Fits(map));
    for (int r = 1; r <= 11; ++r) {
        EXPECT_NEAR(table.At(r, 1), rows[r - 1], 1e-9) << "row " << r;
        EXPECT_EQ(table.At(r, 15), table.At(r, 1));
    }
}

TEST(TargetAfrTable, TextAndRefusals) {
    TargetAfrTable table(3, 2, 14.7);
    EXPECT_TRUE(table.Set(2, 3, 12.85));
    EXPECT_TRUE(table.Set(1, 1, 30)); // a typed target is limited to what the sensor reads
    EXPECT_FALSE(table.Set(3, 1, 13));
    EXPECT_EQ(table.ToText(), "afr-targets 3 2\n18.9 14.7 14.7\n14.7 14.7 12.85\n");
    // Read back from one line, as a settings value may keep it (that every
    // saved table reads back is the datalog fuzz target's rule).
    EXPECT_EQ(ReadTargetAfrText("afr-targets 3 2 18.9 14.7 14.7\t14.7 14.7 12.85").table, table);

    using F = TargetTextFault;
    const struct {
        const char* text;
        F fault;
        int line, row, col;
    } cases[] = {
        {"", F::NoTitle, 1, 0, 0},
        {"afr-targets 3", F::BadSize, 1, 0, 0},
        {"afr-targets 20 20", F::BadSize, 1, 0, 0},
        {"afr-targets 709551615 10777", F::BadSize, 1, 0, 0},
        {"afr-targets 2 1\n14.7 rich", F::NotANumber, 2, 1, 2},
        {"afr-targets 2 1\n14.7 14,7", F::NotANumber, 2, 1, 2},
        {"afr-targets 2 1\n14.7\n19", F::OutOfRange, 3, 1, 2},
        {"afr-targets 2 1\n9.0 14.7", F::OutOfRange, 2, 1, 1},
        {"afr-targets 2 1\n14.7", F::MissingValues, 2, 1, 2},
        {"afr-targets 2 1\n14.7 14.7\n14.7", F::ExtraValues, 3, 0, 0},
    };
    for (const auto& c : cases) {
        const TargetTextResult r = ReadTargetAfrText(c.text);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_EQ(r.fault, c.fault) << c.text;
        EXPECT_EQ(r.line, c.line) << c.text;
        EXPECT_EQ(r.row, c.row) << c.text;
        EXPECT_EQ(r.col, c.col) << c.text;
    }
}

} // namespace
} // namespace kavrin
