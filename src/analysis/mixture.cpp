// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/mixture.h"

#include <algorithm>
#include <cmath>

namespace kavrin {

namespace {

// A row is expected every tick (50 ms); four missed ticks are a gap in the log
// over which nothing is known.
constexpr std::int64_t kGapMs = 200;

constexpr std::int32_t kStartIndicators = kCrankingBit | kStopBit | kFirstBit;

// Half a sensor count from either end still reads as the end.
constexpr double kSensorEndMargin = (kLambdaHighAfr - kLambdaLowAfr) / 255.0 / 2.0;

MixtureSettings Sane(MixtureSettings s) {
    s.rateWindowMs = std::max(s.rateWindowMs, MixtureSettings::kMinRateWindowMs);
    s.delayMs = std::max(s.delayMs, 0);
    s.maxChangePercent = std::clamp(s.maxChangePercent, 0.0, 100.0);
    return s;
}

} // namespace

int MixtureResult::Proposals() const {
    return static_cast<int>(
        std::count_if(cells.begin(), cells.end(), [](const CellMixture& c) { return c.proposed; }));
}

MixtureAccumulator::MixtureAccumulator(const FuelMapModel& map, const MixtureSettings& settings)
    : map_(map), settings_(Sane(settings)), weight_(static_cast<std::size_t>(map.Cells()), 0.0),
      weightAfr_(static_cast<std::size_t>(map.Cells()), 0.0) {}

const MixtureAccumulator::Point* MixtureAccumulator::PointAt(std::int64_t timeMs) const {
    const auto it = std::upper_bound(history_.begin(), history_.end(), timeMs,
                                     [](std::int64_t t, const Point& p) { return t < p.timeMs; });
    if (it == history_.begin()) return nullptr;
    const Point& p = *(it - 1);
    return p.timeMs >= timeMs - kGapMs ? &p : nullptr;
}

bool MixtureAccumulator::Rates(std::int64_t timeMs, double& throttleRate, double& rpmRate) const {
    const Point* now = PointAt(timeMs);
    const Point* before = PointAt(timeMs - settings_.rateWindowMs);
    if (!now || !before || now->timeMs <= before->timeMs) return false;
    const double seconds = static_cast<double>(now->timeMs - before->timeMs) / 1000.0;
    throttleRate = (now->throttle - before->throttle) / seconds;
    rpmRate = (now->rpm - before->rpm) / seconds;
    return true;
}

void MixtureAccumulator::Add(const LogSample& s) {
    ++samples_;
    if (!history_.empty() && s.timeMs < history_.back().timeMs) history_.clear();
    history_.push_back({s.timeMs, s.values[kRpmChannel], s.values[kThrottleChannel], s.status});
    const std::int64_t reach = settings_.delayMs + settings_.rateWindowMs + kGapMs;
    while (history_.front().timeMs < s.timeMs - reach) history_.pop_front();

    const std::int64_t opTime = s.timeMs - settings_.delayMs;
    const Point* op = PointAt(opTime);
    if ((s.status & kStartIndicators) || (op && (op->status & kStartIndicators)))
        return Count(MixtureFilter::Indicators);
    if (!(s.values[kEngineTempChannel] >= settings_.warmTempC)) return Count(MixtureFilter::Cold);
    const double afr = s.values[kLambdaChannel];
    if (!(afr > kLambdaLowAfr + kSensorEndMargin && afr < kLambdaHighAfr - kSensorEndMargin))
        return Count(MixtureFilter::SensorEnds);

    // Steady from before the operating point up to the sample: a move after
    // the point would already be in the mixture.
    double throttleAtOp, rpmAtOp, throttleNow, rpmNow;
    if (!op || !Rates(opTime, throttleAtOp, rpmAtOp) || !Rates(s.timeMs, throttleNow, rpmNow))
        return Count(MixtureFilter::NoEarlierPoint);
    const double maxThrottle = std::max(std::abs(throttleAtOp), std::abs(throttleNow));
    const double maxRpm = std::max(std::abs(rpmAtOp), std::abs(rpmNow));
    if (!(maxThrottle < settings_.maxThrottleRate && maxRpm < settings_.maxRpmRate))
        return Count(MixtureFilter::Unsteady);

    std::array<CellWeight, 4> shares;
    const int n = map_.Share(op->rpm, op->throttle, shares);
    if (n == 0) return Count(MixtureFilter::OutsideMap);
    for (int i = 0; i < n; ++i) {
        const auto cell = static_cast<std::size_t>(shares[i].cell);
        weight_[cell] += shares[i].weight;
        weightAfr_[cell] += shares[i].weight * afr;
    }
    ++used_;
}

void MixtureAccumulator::ClearCells(std::span<const int> cells) {
    for (int cell : cells) {
        if (cell < 0 || cell >= map_.Cells()) continue;
        weight_[static_cast<std::size_t>(cell)] = 0;
        weightAfr_[static_cast<std::size_t>(cell)] = 0;
    }
}

void MixtureAccumulator::Clear() {
    history_.clear();
    std::fill(weight_.begin(), weight_.end(), 0.0);
    std::fill(weightAfr_.begin(), weightAfr_.end(), 0.0);
    removed_ = {};
    samples_ = used_ = 0;
}

MixtureResult MixtureAccumulator::Propose(const Configuration& config,
                                          const TargetAfrTable& targets) const {
    MixtureResult result;
    result.removed = removed_;
    result.samples = samples_;
    result.used = used_;
    result.cols = map_.Cols();
    result.rows = map_.Rows();
    if (config.MapCols != map_.Cols() || config.MapRows != map_.Rows()) {
        result.problem = MixtureProblem::MapDoesNotFit;
        return result;
    }
    if (!targets.Fits(map_)) {
        result.problem = MixtureProblem::TargetsDoNotFit;
        return result;
    }
    if (used_ == 0) result.problem = MixtureProblem::NoUsableSamples;

    // The conversions work on a copy: they refresh FuelScale from the image.
    Configuration scratch = config;
    const double limit = settings_.maxChangePercent / 100.0;
    result.cells.resize(static_cast<std::size_t>(map_.Cells()));
    for (int i = 0; i < map_.Cells(); ++i) {
        CellMixture& cell = result.cells[static_cast<std::size_t>(i)];
        const auto k = static_cast<std::size_t>(i);
        cell.samples = weight_[k];
        cell.targetAfr = targets.At(i);
        cell.currentByte = config.ConfigImage[i];
        cell.proposedByte = cell.currentByte;
        if (cell.samples > 0) cell.measuredAfr = weightAfr_[k] / cell.samples;
        // A cell of 0 has no pulse to scale.
        if (cell.samples < settings_.minSamples || cell.currentByte == 0) continue;
        cell.proposed = true;
        const double ratio = std::clamp(cell.measuredAfr / cell.targetAfr, 1 - limit, 1 + limit);
        std::int16_t current = cell.currentByte;
        const double pulse = FuelRawToMs(scratch, current);
        // As a typed pulse becomes a byte.
        std::int16_t byte = FuelMsToRaw(scratch, static_cast<float>(pulse * ratio));
        // Rounding to a whole step must not carry the change past the limit.
        if (byte > current && byte > current * (1 + limit) + 1e-9) --byte;
        if (byte < current && byte < current * (1 - limit) - 1e-9) ++byte;
        cell.proposedByte = static_cast<std::uint8_t>(byte);
        cell.changePercent = 100.0 * (byte - current) / current;
    }
    return result;
}

MixtureResult AnalyseLog(const DatalogData& log, const Configuration& config,
                         const TargetAfrTable& targets, const MixtureSettings& settings) {
    MixtureAccumulator samples(FuelMapModel::FromConfiguration(config), settings);
    for (std::size_t row = 0; row < log.Rows(); ++row) samples.Add(log.Sample(row));
    return samples.Propose(config, targets);
}

} // namespace kavrin
