// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fuel map corrected from the measured mixture. Samples that mean
// something (warm engine, a sensor off its ends, a steady operating point, no
// start-up indicator) are paired with the operating point that produced them a
// transport delay earlier and shared among the fuel cells as the ECU shares
// the point; a cell with enough of them gets a proposal: its pulse scaled by
// measured / target AFR, by at most a limit per pass.
//
// The fuel the ECU delivers is proportional to the map's pulse (blended cell x
// FuelScale x compensations; the EFI offset is the injector's opening time and
// delivers none), so a proportional correction is the right one.
#include "analysis/datalog_reader.h"
#include "analysis/fuel_map_model.h"
#include "analysis/target_afr.h"
#include "config/config_image.h"

#include <array>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

namespace kavrin {

struct MixtureSettings {
    double warmTempC = 70.0;      // TEMP1 at or above this
    double maxThrottleRate = 2.0; // percent per second, either way
    double maxRpmRate = 200.0;    // rpm per second, either way
    // Rates are taken between values this far apart: the throttle moves in
    // steps of about half a percent, which within one 50 ms tick would read
    // as 10 %/s. At least kMinRateWindowMs.
    int rateWindowMs = 500;
    int delayMs = 150;              // from the operating point to the mixture it gives
    double minSamples = 30.0;       // a cell's share of samples before it gets a proposal
    double maxChangePercent = 15.0; // per pass, either way

    static constexpr int kMinRateWindowMs = 250;
};

// Why a sample was left out; each sample is counted under the first that
// applies, in this order.
enum class MixtureFilter {
    Indicators,     // CRANKING, STOP or FIRST, at the sample or its operating point
    Cold,           // TEMP1 below the threshold
    SensorEnds,     // LAMBDA at 9.0 or 19.0: a cold, saturated or dead sensor
    NoEarlierPoint, // the log does not reach back far enough (its start, a gap)
    Unsteady,       // throttle or engine speed moving too fast
    OutsideMap,     // beyond the map's last column or row (no interpolation)
};
inline constexpr int kMixtureFilterCount = 6;

enum class MixtureProblem {
    None,
    NoUsableSamples, // every sample was left out (see the filter counts)
    TargetsDoNotFit, // the target table has other columns or rows than the map
    MapDoesNotFit,   // the configuration's map is not the one the samples were shared on
};

struct CellMixture {
    double samples = 0;     // the sum of the samples' shares in the cell
    double measuredAfr = 0; // their weighted mean; 0 without samples
    double targetAfr = 0;
    std::uint8_t currentByte = 0;
    std::uint8_t proposedByte = 0; // the current byte where there is no proposal
    double changePercent = 0;      // of the pulse, proposed against current
    bool proposed = false;         // enough samples for a proposal
};

struct MixtureResult {
    MixtureProblem problem = MixtureProblem::None;
    int cols = 0;
    int rows = 0;
    std::vector<CellMixture> cells; // by fuel cell index, (row - 1) x cols + (col - 1)
    std::array<std::int64_t, kMixtureFilterCount> removed{};
    std::int64_t samples = 0; // all samples offered
    std::int64_t used = 0;

    std::int64_t Removed(MixtureFilter f) const { return removed[static_cast<int>(f)]; }
    const CellMixture& Cell(int row, int col) const { return cells[(row - 1) * cols + col - 1]; }
    int Proposals() const;
};

// Takes samples one by one, from a log or live from the channels, in time
// order. Only the last second or so is kept of them; the cells keep sums.
class MixtureAccumulator {
public:
    MixtureAccumulator(const FuelMapModel& map, const MixtureSettings& settings);

    void Add(const LogSample& sample);
    // Forgets the samples of these cells (fuel cell indexes): after they were
    // changed, their samples describe the old values.
    void ClearCells(std::span<const int> cells);
    void Clear();

    const FuelMapModel& Map() const { return map_; }
    const MixtureSettings& Settings() const { return settings_; }

    // The proposals for the configuration's map as it is now, against the
    // targets. The configuration is not changed.
    MixtureResult Propose(const Configuration& config, const TargetAfrTable& targets) const;

private:
    struct Point {
        std::int64_t timeMs;
        float rpm;
        float throttle;
        std::int32_t status;
    };
    // The last point at or before timeMs, if there is one close enough to it.
    const Point* PointAt(std::int64_t timeMs) const;
    // False when the log does not reach back far enough to tell.
    bool Rates(std::int64_t timeMs, double& throttleRate, double& rpmRate) const;
    void Count(MixtureFilter f) { ++removed_[static_cast<int>(f)]; }

    FuelMapModel map_;
    MixtureSettings settings_;
    std::deque<Point> history_;
    std::vector<double> weight_;    // per cell
    std::vector<double> weightAfr_; // per cell, weight x AFR
    std::array<std::int64_t, kMixtureFilterCount> removed_{};
    std::int64_t samples_ = 0;
    std::int64_t used_ = 0;
};

// A whole log against a configuration (the one saved beside it, or the
// window's): its map, its throttle axis, its interpolation option.
MixtureResult AnalyseLog(const DatalogData& log, const Configuration& config,
                         const TargetAfrTable& targets, const MixtureSettings& settings);

} // namespace kavrin
