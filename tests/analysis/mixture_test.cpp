// SPDX-License-Identifier: GPL-3.0-or-later
// Which samples count, how they are shared among the fuel cells, what a cell
// is proposed, and the target table: its default by the rows' throttle
// headers, its text, and the texts it refuses.
#include "analysis/mixture.h"
#include "analysis/target_afr.h"

#include <gtest/gtest.h>

#include <functional>

namespace kavrin {
namespace {

constexpr double kWarm = 85;

// The start map over the throttle span 0..255.
FuelMapModel Map(bool interpolation) {
    return FuelMapModel(15, 11, ThrottleAxisFor(0, 255), interpolation);
}

// Throttle span 0..255, EFI factor 100 (0.08 ms per step), every fuel cell 100.
Configuration Config(bool interpolation) {
    Configuration c;
    c.SizeImage();
    for (int i = 0; i < c.FuelCells; ++i) c.ConfigImage.Set(i, 100);
    c.ConfigImage.Set(c.ParamBase + 4, 0);
    c.ConfigImage.Set(c.ParamBase + 5, 255);
    c.ConfigImage.Set(c.ParamBase + kOptionsOffset, interpolation ? kEfiInterpolationBit : 0);
    c.ConfigImage.Set(c.ParamBase + 8, 100);
    c.UpdateFuelScale();
    return c;
}

LogSample At(std::int64_t ms, double rpm, double throttle, double afr) {
    LogSample s;
    s.timeMs = ms;
    s.values[kRpmChannel] = static_cast<float>(rpm);
    s.values[kThrottleChannel] = static_cast<float>(throttle);
    s.values[kEngineTempChannel] = static_cast<float>(kWarm);
    s.values[kLambdaChannel] = static_cast<float>(afr);
    return s;
}

// Steady running, three rows per 50 ms tick sharing its time; change may
// alter a row or return false to leave it out.
MixtureResult Steady(const Configuration& config, double rpm, double throttle, double afr,
                     std::int64_t ms, const std::function<bool(LogSample&)>& change = {}) {
    const FuelMapModel map = FuelMapModel::FromConfiguration(config);
    MixtureAccumulator samples(map, {});
    for (std::int64_t t = 0; t < ms; t += 50)
        for (int k = 0; k < 3; ++k) {
            LogSample s = At(t, rpm, throttle, afr);
            if (!change || change(s)) samples.Add(s);
        }
    return samples.Propose(config, TargetAfrTable::Default(map));
}

// Four seconds of 240 rows; the first 650 ms lack the half second of history
// before their operating point 150 ms earlier. Each case disturbs the rows from
// 2000 ms on (to 2500 ms unless it says otherwise).
TEST(MixtureFilters, EachFilterRemovesTheSamplesItShould) {
    using F = MixtureFilter;
    const struct Case {
        const char* name;
        std::function<void(LogSample&)> change;
        F filter;
        int removed;
        bool toEnd = false;
    } cases[] = {
        {"engine cold", [](LogSample& s) { s.values[kEngineTempChannel] = 69.9f; }, F::Cold, 30},
        {"engine just warm", [](LogSample& s) { s.values[kEngineTempChannel] = 70; }, F::Cold, 0},
        {"sensor lean end", [](LogSample& s) { s.values[kLambdaChannel] = 19; }, F::SensorEnds, 30},
        {"sensor rich end", [](LogSample& s) { s.values[kLambdaChannel] = 9; }, F::SensorEnds, 30},
        {"sensor a count off its end",
         [](LogSample& s) { s.values[kLambdaChannel] = 9 + 10.0f / 255; }, F::SensorEnds, 0},
        // At the sample, and 150 ms later at the samples of that point.
        {"FIRST", [](LogSample& s) { s.status = kFirstBit; }, F::Indicators, 39},
        {"CRANKING", [](LogSample& s) { s.status = kCrankingBit; }, F::Indicators, 39},
        {"STOP", [](LogSample& s) { s.status = kStopBit; }, F::Indicators, 39},
        {"SELECTOR", [](LogSample& s) { s.status = kSelectorBit | kAnticipBit; }, F::Indicators, 0},
        // Seen half a second on, and 150 ms later at the operating point.
        {"throttle step of 5 %", [](LogSample& s) { s.values[kThrottleChannel] += 5; }, F::Unsteady,
         39, true},
        {"throttle closing at 1.5 %/s",
         [](LogSample& s) { s.values[kThrottleChannel] -= 1.5f * (s.timeMs - 2000) / 1000; },
         F::Unsteady, 0, true},
        {"engine speed step of 150 rpm", [](LogSample& s) { s.values[kRpmChannel] += 150; },
         F::Unsteady, 39, true},
    };
    const Configuration config = Config(false);
    const MixtureResult base = Steady(config, 2500, 30, 14.7, 4000);
    ASSERT_EQ(base.samples, 240);
    ASSERT_EQ(base.Removed(F::NoEarlierPoint), 39);
    ASSERT_EQ(base.used, 201);
    for (const Case& c : cases) {
        const MixtureResult r = Steady(config, 2500, 30, 14.7, 4000, [&](LogSample& s) {
            if (s.timeMs >= 2000 && (c.toEnd || s.timeMs < 2500)) c.change(s);
            return true;
        });
        for (int f = 0; f < kMixtureFilterCount; ++f)
            EXPECT_EQ(r.removed[f] - base.removed[f],
                      f == static_cast<int>(c.filter) ? c.removed : 0)
                << c.name << ", filter " << f;
        EXPECT_EQ(r.used, base.used - c.removed) << c.name;
    }

    // Half a second without rows: the samples after it wait for the history
    // to fill again.
    const MixtureResult gap = Steady(config, 2500, 30, 14.7, 4000, [](LogSample& s) {
        return s.timeMs < 2000 || s.timeMs >= 2500;
    });
    EXPECT_EQ(gap.Removed(F::NoEarlierPoint) - 39, 36);
    EXPECT_EQ(gap.used, gap.samples - gap.Removed(F::NoEarlierPoint));
    // Past the last column without interpolation; held at the edge with it.
    EXPECT_EQ(Steady(config, 16500, 30, 14.7, 4000).Removed(F::OutsideMap), 201);
    EXPECT_EQ(Steady(Config(true), 16500, 30, 14.7, 4000).Removed(F::OutsideMap), 0);
    // Nothing usable is a result of its own, with no proposal.
    const MixtureResult cold = Steady(config, 2500, 30, 14.7, 4000, [](LogSample& s) {
        s.values[kEngineTempChannel] = 20;
        return true;
    });
    EXPECT_EQ(cold.problem, MixtureProblem::NoUsableSamples);
    EXPECT_EQ(cold.Proposals(), 0);
}

// Throttle span 0..255: row 5's header is 25.1 %, row 6's 37.6 %.
TEST(FuelMapModel, SamplesAreSharedAsTheEcuReadsTheMap) {
    struct Share {
        int row, col;
        double weight;
    };
    const FuelMapModel off = Map(false), on = Map(true);
    const double row5 = on.RowPercent(5), row6 = on.RowPercent(6);
    const struct Case {
        const FuelMapModel& map;
        double rpm, throttle;
        std::vector<Share> shares;
    } cases[] = {
        // Without interpolation: the live cell, columns from c x 1000 rpm (the
        // cells and breakpoints inside the map are the convergence test's).
        {off, 999, 0, {{1, 1, 1}}},
        {off, 15999, 100, {{11, 15, 1}}},
        {off, 16000, 50, {}},
        {off, 3000, 112.5, {}},
        // With it: bilinear between the breakpoints, held at the edges.
        {on, 500, 0, {{1, 1, 1}}},
        {on, 2500, row5, {{5, 2, 0.5}, {5, 3, 0.5}}},
        {on, 2250, (row5 + row6) / 2, {{5, 2, 0.375}, {5, 3, 0.125}, {6, 2, 0.375}, {6, 3, 0.125}}},
        {on, 15500, 100, {{11, 15, 1}}},
    };
    for (const Case& c : cases) {
        std::array<CellWeight, 4> out;
        const int n = c.map.Share(c.rpm, c.throttle, out);
        ASSERT_EQ(n, static_cast<int>(c.shares.size())) << c.rpm << " rpm, " << c.throttle << " %";
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(out[i].cell, (c.shares[i].row - 1) * 15 + c.shares[i].col - 1) << c.rpm;
            EXPECT_NEAR(out[i].weight, c.shares[i].weight, 1e-9) << c.rpm;
        }
    }
}

// FuelScale 0.08 ms; column 2 (2500 rpm), row 1 (3 %, target 14.7); 201
// samples in four seconds. How the proposals converge on the targets within
// the limit, rounding and all, is the convergence test's.
TEST(MixtureProposal, PulseScaledByMeasuredOverTargetWithinTheLimit) {
    const struct Case {
        const char* name;
        int byte;
        double afr;
        std::int64_t ms;
        bool proposed;
        int proposedByte;
    } cases[] = {
        {"on target", 100, 14.7, 4000, true, 100},
        {"richer than one pass may mend", 100, 11, 4000, true, 85},
        {"too few samples", 100, 18, 900, false, 100},
        {"nothing to scale", 0, 18, 4000, false, 0},
    };
    for (const Case& c : cases) {
        Configuration config = Config(false);
        config.ConfigImage.Set(1, c.byte);
        const MixtureResult r = Steady(config, 2500, 3, c.afr, c.ms);
        const CellMixture& m = r.Cell(1, 2);
        EXPECT_EQ(m.proposed, c.proposed) << c.name;
        EXPECT_EQ(m.proposedByte, c.proposedByte) << c.name;
        EXPECT_EQ(r.Proposals(), c.proposed ? 1 : 0) << c.name;
        if (c.byte > 0) {
            EXPECT_NEAR(m.changePercent, 100.0 * (c.proposedByte - c.byte) / c.byte, 1e-9)
                << c.name;
        }
        if (c.ms == 4000) {
            EXPECT_NEAR(m.samples, 201, 1e-9) << c.name;
            EXPECT_NEAR(m.measuredAfr, c.afr, 1e-5) << c.name;
        }
    }
}

// Live: the samples of applied cells describe their old values and go.
TEST(MixtureProposal, AppliedCellsAreCleared) {
    const Configuration config = Config(false);
    const FuelMapModel map = FuelMapModel::FromConfiguration(config);
    MixtureAccumulator samples(map, {});
    for (std::int64_t t = 0; t < 8000; t += 50) samples.Add(At(t, t < 4000 ? 2500 : 3500, 3, 16));
    const int applied[] = {1};
    samples.ClearCells(applied);
    const MixtureResult after = samples.Propose(config, TargetAfrTable::Default(map));
    EXPECT_EQ(after.Cell(1, 2).samples, 0); // too few to propose, the test above shows
    EXPECT_TRUE(after.Cell(1, 3).proposed);
    EXPECT_EQ(samples.Propose(config, TargetAfrTable(15, 10, 14.7)).problem,
              MixtureProblem::TargetsDoNotFit);
}

// Headers 0.0, 6.3 .. 25.1, 37.6, 50.2, 62.4, 74.9, 87.5, 100.0 % (the headers
// of other throttle limits are the map layout's).
TEST(TargetAfrTable, DefaultIsStoichiometricToAQuarterThrottleThenRicherToFull) {
    const double rows[] = {14.7, 14.7, 14.7, 14.7, 14.7, 14.4, 14.1, 13.8, 13.4, 13.1, 12.8};
    const FuelMapModel map = Map(false);
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
