// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine_model.h"

#include "ecu_image.h"
#include "seeded_random.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kavrin::ecusim {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDegreesPerStep = 360.0 / 1024.0;
constexpr double kPulseMsPerCount = 0.0008;
constexpr double kVoltCountsPerVolt = 255.0 / 5.0;

// Wobble streams, one per quantity so that they do not move together.
enum Stream {
    kThrottleWobble,
    kCrankWobble,
    kRpmWobble,
    kEngineTempWobble,
    kAirTempWobble,
    kLambdaNoise,
    kMapWobble,
    kVolt1Wobble,
    kVolt2Wobble,
    kRequirement
};

// The idle-to-full sweep takes this long; the throttle blips on top of it make
// the acceleration enrichment and the rate channel do something.
constexpr std::int64_t kIdleAfterStartMs = 6000;
constexpr double kSweepPeriodMs = 40000.0;
constexpr std::int64_t kBlipEveryMs = 12000;
constexpr std::int64_t kFirstBlipMs = 9000;

std::uint16_t Count(double v) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(v), 0L, 65535L));
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Linear interpolation in a row of image bytes at a fractional position.
double Interpolate(const EcuImage& image, int base, int cells, double position) {
    position = std::clamp(position, 0.0, double(cells - 1));
    const int i = std::min(static_cast<int>(position), cells - 2);
    const double f = position - i;
    return image.At(base + i) * (1.0 - f) + image.At(base + i + 1) * f;
}

constexpr int kRows = EcuImage::kMapRows;
constexpr int kCols = EcuImage::kMapCols;
using RowCounts = std::array<double, kRows>;

// The span of the throttle sensor and where the fuel rows sit on it, in
// counts above THR MIN: breakpoint x span / 256, halves to even, as the tool
// writes the rows' headers.
double ThrottleSpan(const EcuImage& image) {
    double max = image.At(EcuImage::kThrMax);
    const double min = image.At(EcuImage::kThrMin);
    if (max < 1 || min >= max) max = 255;
    const double span = max - min;
    return span < 1 ? 255 : span;
}

RowCounts RowsOf(double span) {
    RowCounts rows{};
    for (int r = 0; r < kRows; ++r)
        rows[static_cast<std::size_t>(r)] =
            std::nearbyint(EcuImage::kRowBreakpoints[static_cast<std::size_t>(r)] * span / 256.0);
    return rows;
}

// Row r0 (from 0) at or below the throttle and the share f of row r0 + 1.
void RowPosition(const RowCounts& rows, double counts, int& r0, double& f) {
    r0 = 0;
    while (r0 < kRows - 1 && rows[static_cast<std::size_t>(r0 + 1)] <= counts) ++r0;
    f = 0;
    if (r0 < kRows - 1) {
        const double lo = rows[static_cast<std::size_t>(r0)];
        const double hi = rows[static_cast<std::size_t>(r0 + 1)];
        if (hi > lo) f = std::clamp((counts - lo) / (hi - lo), 0.0, 1.0);
    }
}

// Column c0 (from 0) and the share f of column c0 + 1: column c (from 1) sits
// at c x 1000 rpm.
void ColumnPosition(double rpm, int& c0, double& f) {
    const double x = std::clamp(rpm / 1000.0, 1.0, double(kCols)) - 1.0;
    c0 = std::min(static_cast<int>(x), kCols - 2);
    f = x - c0;
}

template <typename Cell> double Blend(Cell cell, int r0, double fr, int c0, double fc) {
    const int r1 = std::min(r0 + 1, kRows - 1);
    return (cell(r0, c0) * (1.0 - fc) + cell(r0, c0 + 1) * fc) * (1.0 - fr) +
           (cell(r1, c0) * (1.0 - fc) + cell(r1, c0 + 1) * fc) * fr;
}

// The fuel map read the way the ECU does, in fuel steps: with "EFI
// interpolation" blended between the four cells around the operating point,
// without it the cell the point lies in.
double FuelAt(const EcuImage& image, double throttleCounts, double rpm) {
    int r0, c0;
    double fr, fc;
    RowPosition(RowsOf(ThrottleSpan(image)), throttleCounts, r0, fr);
    ColumnPosition(rpm, c0, fc);
    if (!(image.At(EcuImage::kOptions) & EcuImage::kEfiInterpolationOn))
        return image.Fuel(r0, std::clamp(static_cast<int>(rpm / 1000.0), 1, kCols) - 1);
    return Blend([&](int r, int c) { return double(image.Fuel(r, c)); }, r0, fr, c0, fc);
}

double Smooth(double f) {
    return f * f * (3.0 - 2.0 * f);
}

// The throttle sensor's count.
double ThrottleCount(const EngineModel::Physical& p, const EcuImage& image) {
    const double thrMin = image.At(EcuImage::kThrMin);
    const double thrMax = image.At(EcuImage::kThrMax);
    return std::round(
        std::clamp(thrMin + p.throttlePercent / 100.0 * (thrMax - thrMin), 0.0, 255.0));
}

// The ECU cuts sparks above the cut-off and holds the engine there.
double CutRpm(double rpm, const EcuImage& image) {
    const double cutOff = image.At(EcuImage::kCutOff) * 250.0;
    return cutOff > 0.0 && rpm > cutOff ? cutOff : rpm;
}
} // namespace

EngineModel::EngineModel(std::uint32_t seed, const EcuImage& configured, Setup setup)
    : seed_(seed), setup_(std::move(setup)) {
    std::int64_t end = 0;
    for (const Hold& h : setup_.drive) holdEnds_.push_back(end += std::max<std::int64_t>(h.ms, 1));
    const double scale = configured.FuelScaleMs();
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            configuredMs_[static_cast<std::size_t>(r * kCols + c)] = configured.Fuel(r, c) * scale;
    configuredSpan_ = ThrottleSpan(configured);
    configuredRows_ = RowsOf(configuredSpan_);
}

double EngineModel::Draw(int stream, std::int64_t key) const {
    const std::uint64_t mixed = (std::uint64_t(seed_) << 32) ^ (std::uint64_t(stream) << 56) ^
                                static_cast<std::uint64_t>(key);
    return double(SeededRandom::Mix(mixed) >> 11) / 4503599627370496.0 - 1.0;
}

double EngineModel::Wobble(int stream, std::int64_t elapsedMs, std::int64_t periodMs) const {
    const std::int64_t k = FloorDiv(elapsedMs, periodMs);
    const double f = double(elapsedMs - k * periodMs) / double(periodMs);
    const double s = Smooth(f);
    return Draw(stream, k) * (1.0 - s) + Draw(stream, k + 1) * s;
}

EngineModel::Hold EngineModel::Scripted(std::int64_t elapsedMs) const {
    const std::int64_t t = std::max<std::int64_t>(elapsedMs - kCrankingEndsMs, 0);
    const auto i = static_cast<std::size_t>(
        std::upper_bound(holdEnds_.begin(), holdEnds_.end(), t) - holdEnds_.begin());
    if (i == holdEnds_.size()) return setup_.drive.back();
    const Hold& to = setup_.drive[i];
    const Hold from = i == 0 ? Hold{900.0, 0.0, 0} : setup_.drive[i - 1];
    const std::int64_t start = i == 0 ? 0 : holdEnds_[i - 1];
    const double f = std::min(1.0, double(t - start) / double(kRampMs));
    return {from.rpm + (to.rpm - from.rpm) * f,
            from.throttlePercent + (to.throttlePercent - from.throttlePercent) * f, to.ms};
}

double EngineModel::Throttle(std::int64_t elapsedMs) const {
    if (!setup_.drive.empty()) {
        // The bench holds the throttle; only the sensor's own flicker is left.
        if (elapsedMs < kCrankingEndsMs) return 0.0;
        return std::clamp(Scripted(elapsedMs).throttlePercent +
                              0.1 * Wobble(kThrottleWobble, elapsedMs, 400),
                          0.0, 100.0);
    }
    if (elapsedMs < kIdleAfterStartMs) return 0.0;
    const double t = double(elapsedMs - kIdleAfterStartMs);
    double percent = 50.0 * (1.0 - std::cos(2.0 * kPi * t / kSweepPeriodMs));
    if (elapsedMs >= kFirstBlipMs) {
        const double b = double((elapsedMs - kFirstBlipMs) % kBlipEveryMs);
        if (b < 300.0)
            percent += 30.0 * b / 300.0;
        else if (b < 1000.0)
            percent += 30.0;
        else if (b < 2000.0)
            percent += 30.0 * (2000.0 - b) / 1000.0;
    }
    percent += 1.5 * Wobble(kThrottleWobble, elapsedMs, 400);
    return std::clamp(percent, 0.0, 100.0);
}

EngineModel::Physical EngineModel::At(std::int64_t elapsedMs) const {
    Physical p{};
    const double t = double(elapsedMs);
    p.stopped = elapsedMs < kStopEndsMs;
    p.cranking = !p.stopped && elapsedMs < kCrankingEndsMs;
    p.throttlePercent = Throttle(elapsedMs);
    p.throttleRate = (p.throttlePercent - Throttle(elapsedMs - 100)) * 10.0;

    if (p.stopped) {
        p.rpm = 0.0;
    } else if (p.cranking) {
        p.rpm = 250.0 + 40.0 * Wobble(kCrankWobble, elapsedMs, 120);
    } else {
        // Speed lags the throttle by the time the engine needs to spin up; just
        // after it fires it flares above idle and settles. On the bench the
        // brake holds the speed asked for.
        const double sinceFiring = t - double(kCrankingEndsMs);
        const double rpm =
            setup_.drive.empty()
                ? 900.0 + 51.0 * Throttle(elapsedMs - 250) + 500.0 * std::exp(-sinceFiring / 700.0)
                : Scripted(elapsedMs).rpm;
        const double flare =
            sinceFiring < 300.0 ? 250.0 + (rpm - 250.0) * sinceFiring / 300.0 : rpm;
        p.rpm = flare + 20.0 * Wobble(kRpmWobble, elapsedMs, 150);
    }

    p.engineTempC = 90.0 - (90.0 - setup_.startTempC) * std::exp(-t / 150000.0) +
                    0.3 * Wobble(kEngineTempWobble, elapsedMs, 2000);
    p.airTempC = 22.0 + 6.0 * (1.0 - std::exp(-t / 300000.0)) +
                 0.3 * Wobble(kAirTempWobble, elapsedMs, 3000);

    if (p.stopped)
        p.manifoldKpa = 100.0;
    else if (p.cranking)
        p.manifoldKpa = 85.0;
    else
        p.manifoldKpa = std::min(100.0, 30.0 + 0.7 * p.throttlePercent +
                                            0.5 * Wobble(kMapWobble, elapsedMs, 200));
    return p;
}

double EngineModel::RequiredFuelMs(double rpm, double throttlePercent) const {
    int r0, c0;
    double fr, fc;
    RowPosition(configuredRows_, std::clamp(throttlePercent, 0.0, 100.0) / 100.0 * configuredSpan_,
                r0, fr);
    ColumnPosition(rpm, c0, fc);
    const double base =
        Blend([&](int r, int c) { return configuredMs_[static_cast<std::size_t>(r * kCols + c)]; },
              r0, fr, c0, fc);
    // An independent draw at every breakpoint, blended smoothly between them,
    // so that neighbouring cells need different corrections.
    const double g =
        Blend([&](int r, int c) { return Draw(kRequirement, std::int64_t(r) * 64 + c); }, r0,
              Smooth(fr), c0, Smooth(fc));
    return base * (1.0 + kRequirementSpread * g);
}

EngineModel::Fuel EngineModel::CommandedFuel(const Physical& p, double rpm,
                                             const EcuImage& image) const {
    Fuel f;
    const double scale = image.FuelScaleMs();
    f.warmUpPercent = std::max(0.0, (70.0 - p.engineTempC) / 3.0);
    if (p.stopped) return f;
    if (p.cranking) {
        f.pulseMs = image.Fuel(0, 0) * scale * 1.5;
        return f;
    }
    const std::uint8_t options = image.At(EcuImage::kOptions);
    f.pulseMs = FuelAt(image, ThrottleCount(p, image) - image.At(EcuImage::kThrMin), rpm) * scale;
    f.pulseMs *= image.At(EcuImage::kCompensation) / 128.0;
    if (options & EcuImage::kEngineTempCompOn)
        f.pulseMs *= Interpolate(image, EcuImage::kEngineTempBase, EcuImage::kEngineTempCells,
                                 p.engineTempC / 10.0) /
                     128.0;
    if (options & EcuImage::kAirTempCompOn)
        f.pulseMs *=
            Interpolate(image, EcuImage::kAirTempBase, EcuImage::kAirTempCells, p.airTempC / 10.0) /
            128.0;
    if ((options & EcuImage::kAccelEnrichOn) && p.throttleRate > 10.0) {
        f.accelSteps = static_cast<int>(std::min(40.0, (p.throttleRate - 10.0) / 5.0));
        f.pulseMs *= 1.0 + f.accelSteps / 100.0;
    }
    f.pulseMs *= 1.0 + f.warmUpPercent / 100.0;
    return f;
}

double EngineModel::Afr(std::int64_t elapsedMs, const EcuImage& image) const {
    if (elapsedMs < kSensorRichUntilMs) return kLambdaLowAfr;
    if (elapsedMs < kSensorReadyMs) return kLambdaHighAfr;
    const std::int64_t burnt = elapsedMs - kTransportDelayMs;
    const Physical p = At(burnt);
    const double rpm = CutRpm(p.rpm, image);
    const Fuel fuel = CommandedFuel(p, rpm, image);
    if (fuel.pulseMs <= 0.0) return kLambdaHighAfr; // nothing burning: the sensor sees air
    const double afr = 14.7 * RequiredFuelMs(rpm, p.throttlePercent) / fuel.pulseMs *
                       (1.0 + 0.01 * Draw(kLambdaNoise, elapsedMs));
    return std::clamp<double>(afr, kLambdaLowAfr, kLambdaHighAfr);
}

std::array<std::uint16_t, EngineModel::kChannels>
EngineModel::Channels(std::int64_t elapsedMs, const EcuImage& image) const {
    const Physical p = At(elapsedMs);
    std::array<std::uint16_t, kChannels> ch{};

    const double rpm = CutRpm(p.rpm, image);
    ch[0] = Count(rpm * 1024.0 / 1000.0);

    const double advanceSteps = p.cranking ? image.At(EcuImage::kIgnitionBase)
                                           : Interpolate(image, EcuImage::kIgnitionBase,
                                                         EcuImage::kMapCols, rpm / 1000.0 - 1.0);
    ch[1] = p.stopped ? 0 : Count(advanceSteps);

    // Delays are counted by a timer whose prescaler the ECU raises at low speed
    // so that the long periods still fit in 16 bits.
    const int prescaler = rpm < 1500.0 ? 3 : rpm < 3000.0 ? 2 : rpm < 6000.0 ? 1 : 0;
    const double scale = image.FuelScaleMs();
    const double tick = scale * double(1 << prescaler);
    if (rpm > 0.0) {
        const double periodMs = 60000.0 / rpm;
        const double mainDeg = image.At(EcuImage::kMainAngle) * kDegreesPerStep;
        const double efiDeg = image.At(EcuImage::kEfiAngle) * kDegreesPerStep;
        const double advanceDeg = advanceSteps * kDegreesPerStep;
        ch[2] = Count(std::max(0.0, mainDeg - advanceDeg) / 360.0 * periodMs / tick);
        ch[4] = Count(efiDeg / 360.0 * periodMs / tick);
    }
    ch[11] = static_cast<std::uint16_t>(prescaler);

    const std::uint8_t options = image.At(EcuImage::kOptions);
    const Fuel fuel = CommandedFuel(p, rpm, image);
    double pulseMs = fuel.pulseMs;
    // The injector's opening time on top, which delivers no fuel.
    if (!p.cranking && !p.stopped) pulseMs += image.At(EcuImage::kEfiOffset) * scale * 16.0;
    ch[3] = Count(pulseMs / kPulseMsPerCount);

    ch[5] = Count(ThrottleCount(p, image));
    ch[6] = Count(std::max(0.0, p.throttleRate) * 255.0 / 100.0);
    ch[7] = Count(p.engineTempC * 0.8);
    ch[8] = Count(p.airTempC * 0.8);
    ch[kLambdaChannel] = Count(std::clamp(
        (Afr(elapsedMs, image) - kLambdaLowAfr) * 255.0 / (kLambdaHighAfr - kLambdaLowAfr), 0.0,
        255.0));
    ch[10] = Count(p.manifoldKpa);
    ch[12] = static_cast<std::uint16_t>(fuel.accelSteps);
    ch[13] = Count(fuel.warmUpPercent);
    ch[14] = Count((3.7 + 0.04 * Wobble(kVolt1Wobble, elapsedMs, 500)) * kVoltCountsPerVolt);
    ch[15] = Count(
        (3.1 + 0.8 * p.throttlePercent / 100.0 + 0.02 * Wobble(kVolt2Wobble, elapsedMs, 250)) *
        kVoltCountsPerVolt);

    std::uint16_t status = 0;
    if (p.cranking) status |= kCrankingBit;
    if (p.stopped) status |= kStopBit;
    // Until the first revolutions have shown where top dead centre is.
    if (!p.stopped && elapsedMs < kStopEndsMs + 1000) status |= kFirstBit;
    if ((elapsedMs / 30000) % 4 == 2) status |= kSelectorBit; // the rider flips the map switch
    if (options & EcuImage::kNegativePulseStart) status |= kPulseBit;
    if (!p.cranking && !p.stopped && rpm > 1500.0) status |= kAnticipBit;
    ch[kStatusChannel] = status;
    return ch;
}

} // namespace kavrin::ecusim
