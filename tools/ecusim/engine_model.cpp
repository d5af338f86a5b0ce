// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine_model.h"

#include "ecu_image.h"
#include "seeded_random.h"

#include <algorithm>
#include <cmath>

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
    kAfrWobble,
    kMapWobble,
    kVolt1Wobble,
    kVolt2Wobble
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

// Fuel map read the way the ECU does: between the four cells around the
// operating point.
double FuelAt(const EcuImage& image, double throttlePercent, double rpm) {
    const auto& rows = EcuImage::kRowBreakpoints;
    const double sixteenths = std::clamp(throttlePercent * 2.56, 0.0, 256.0);
    int r = 0;
    while (r < EcuImage::kMapRows - 2 && sixteenths > rows[static_cast<std::size_t>(r + 1)]) ++r;
    const double lo = rows[static_cast<std::size_t>(r)];
    const double hi = rows[static_cast<std::size_t>(r + 1)];
    const double fr = std::clamp((sixteenths - lo) / (hi - lo), 0.0, 1.0);
    const double col = rpm / 1000.0;
    const double top =
        Interpolate(image, EcuImage::kFuelBase + r * EcuImage::kMapCols, EcuImage::kMapCols, col);
    const double bottom = Interpolate(image, EcuImage::kFuelBase + (r + 1) * EcuImage::kMapCols,
                                      EcuImage::kMapCols, col);
    return top * (1.0 - fr) + bottom * fr;
}
} // namespace

double EngineModel::Wobble(int stream, std::int64_t elapsedMs, std::int64_t periodMs) const {
    const std::int64_t k = FloorDiv(elapsedMs, periodMs);
    const double f = double(elapsedMs - k * periodMs) / double(periodMs);
    auto knot = [&](std::int64_t n) {
        const std::uint64_t key = (std::uint64_t(seed_) << 32) ^ (std::uint64_t(stream) << 56) ^
                                  static_cast<std::uint64_t>(n);
        return double(SeededRandom::Mix(key) >> 11) / 4503599627370496.0 - 1.0;
    };
    const double s = f * f * (3.0 - 2.0 * f);
    return knot(k) * (1.0 - s) + knot(k + 1) * s;
}

double EngineModel::Throttle(std::int64_t elapsedMs) const {
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
        // after it fires it flares above idle and settles.
        const double target = 900.0 + 51.0 * Throttle(elapsedMs - 250);
        const double sinceFiring = t - double(kCrankingEndsMs);
        double rpm = target + 500.0 * std::exp(-sinceFiring / 700.0);
        if (sinceFiring < 300.0) rpm = 250.0 + (rpm - 250.0) * sinceFiring / 300.0;
        p.rpm = rpm + 20.0 * Wobble(kRpmWobble, elapsedMs, 150);
    }

    p.engineTempC = 20.0 + 70.0 * (1.0 - std::exp(-t / 150000.0)) +
                    0.3 * Wobble(kEngineTempWobble, elapsedMs, 2000);
    p.airTempC = 22.0 + 6.0 * (1.0 - std::exp(-t / 300000.0)) +
                 0.3 * Wobble(kAirTempWobble, elapsedMs, 3000);

    if (p.stopped) {
        p.afr = 19.0; // nothing burning: the sensor sees air
    } else if (p.cranking) {
        p.afr = 11.5;
    } else {
        double afr = 14.7 + 0.25 * Wobble(kAfrWobble, elapsedMs, 300);
        if (p.throttleRate > 10.0) afr -= std::min(2.5, (p.throttleRate - 10.0) / 30.0);
        if (p.throttleRate < -10.0) afr += std::min(1.5, (-p.throttleRate - 10.0) / 30.0);
        p.afr = std::clamp(afr, 9.0, 19.0);
    }

    if (p.stopped)
        p.manifoldKpa = 100.0;
    else if (p.cranking)
        p.manifoldKpa = 85.0;
    else
        p.manifoldKpa = std::min(100.0, 30.0 + 0.7 * p.throttlePercent +
                                            0.5 * Wobble(kMapWobble, elapsedMs, 200));
    return p;
}

std::array<std::uint16_t, EngineModel::kChannels>
EngineModel::Channels(std::int64_t elapsedMs, const EcuImage& image) const {
    const Physical p = At(elapsedMs);
    std::array<std::uint16_t, kChannels> ch{};

    double rpm = p.rpm;
    const double cutOff = image.At(EcuImage::kCutOff) * 250.0;
    if (cutOff > 0.0 && rpm > cutOff) rpm = cutOff; // the ECU cuts sparks and holds it there
    ch[0] = Count(rpm * 1024.0 / 1000.0);

    const double advanceSteps =
        p.cranking ? image.At(EcuImage::kIgnitionBase)
                   : Interpolate(image, EcuImage::kIgnitionBase, EcuImage::kMapCols, rpm / 1000.0);
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
    double pulseMs = 0.0;
    int accelSteps = 0;
    const double warmUpPercent = std::max(0.0, (70.0 - p.engineTempC) / 3.0);
    if (p.cranking) {
        pulseMs = image.Fuel(0, 0) * scale * 1.5;
    } else if (!p.stopped) {
        pulseMs = FuelAt(image, p.throttlePercent, rpm) * scale;
        pulseMs *= image.At(EcuImage::kCompensation) / 128.0;
        if (options & EcuImage::kEngineTempCompOn)
            pulseMs *= Interpolate(image, EcuImage::kEngineTempBase, EcuImage::kEngineTempCells,
                                   p.engineTempC / 10.0) /
                       128.0;
        if (options & EcuImage::kAirTempCompOn)
            pulseMs *= Interpolate(image, EcuImage::kAirTempBase, EcuImage::kAirTempCells,
                                   p.airTempC / 10.0) /
                       128.0;
        if ((options & EcuImage::kAccelEnrichOn) && p.throttleRate > 10.0) {
            accelSteps = static_cast<int>(std::min(40.0, (p.throttleRate - 10.0) / 5.0));
            pulseMs *= 1.0 + accelSteps / 100.0;
        }
        pulseMs *= 1.0 + warmUpPercent / 100.0;
        pulseMs += image.At(EcuImage::kEfiOffset) * scale * 16.0;
    }
    ch[3] = Count(pulseMs / kPulseMsPerCount);

    const double thrMin = image.At(EcuImage::kThrMin);
    const double thrMax = image.At(EcuImage::kThrMax);
    ch[5] = Count(std::clamp(thrMin + p.throttlePercent / 100.0 * (thrMax - thrMin), 0.0, 255.0));
    ch[6] = Count(std::max(0.0, p.throttleRate) * 255.0 / 100.0);
    ch[7] = Count(p.engineTempC * 0.8);
    ch[8] = Count(p.airTempC * 0.8);
    ch[9] = Count(std::clamp((p.afr - 9.0) * 25.5, 0.0, 255.0));
    ch[10] = Count(p.manifoldKpa);
    ch[12] = static_cast<std::uint16_t>(accelSteps);
    ch[13] = Count(warmUpPercent);
    ch[14] = Count((3.7 + 0.04 * Wobble(kVolt1Wobble, elapsedMs, 500)) * kVoltCountsPerVolt);
    ch[15] = Count(
        (3.1 + 0.8 * p.throttlePercent / 100.0 + 0.02 * Wobble(kVolt2Wobble, elapsedMs, 250)) *
        kVoltCountsPerVolt);

    std::uint16_t status = 0;
    if (p.cranking) status |= kCranking;
    if (p.stopped) status |= kStop;
    // Until the first revolutions have shown where top dead centre is.
    if (!p.stopped && elapsedMs < kStopEndsMs + 1000) status |= kFirst;
    if ((elapsedMs / 30000) % 4 == 2) status |= kSelector; // the rider flips the map switch
    if (options & EcuImage::kNegativePulseStart) status |= kPulseHighLow;
    if (!p.cranking && !p.stopped && rpm > 1500.0) status |= kAdvance;
    ch[kStatusChannel] = status;
    return ch;
}

} // namespace kavrin::ecusim
