// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "ecu_image.h"
#include "live/channels.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kavrin::ecusim {

// A scripted drive (a test bench holding the engine): ramp to this operating
// point, then hold it; ms includes the ramp.
struct EngineHold {
    double rpm;
    double throttlePercent;
    std::int64_t ms;
};

struct EngineSetup {
    double startTempC = 20.0; // about 85 for a hot restart
    // Empty: the free-running sweep with throttle blips. Otherwise the script
    // starts when the engine fires and holds its last point.
    std::vector<EngineHold> drive;
};

// The engine on the test bench, as a pure function of the time since power-up,
// the seed and the setup: the same seed and the same instants give the same
// readings, whatever the order in which they are asked for.
//
// The engine needs a fuel pulse R at each operating point to burn at 14.7 AFR:
// a smooth seeded requirement within +-25 % of what the map it was powered up
// with gives there. The lambda sensor reads the mixture the commanded pulse C
// really gives, 14.7 x R / C, a transport delay after the fuel went in, with
// noise, and sits at its ends while it is still cold.
class EngineModel {
public:
    // The measured channels and the status bits, numbered and laid out as
    // the tool reads them (live/channels.h).
    static constexpr int kChannels = kMeasuredChannels + 1;

    // Engine stopped, then the starter turns it, then it fires.
    static constexpr std::int64_t kStopEndsMs = 300;
    static constexpr std::int64_t kCrankingEndsMs = 2500;

    // The lambda sensor: rich-saturated, then lean-saturated until it is hot.
    static constexpr std::int64_t kSensorRichUntilMs = 5000;
    static constexpr std::int64_t kSensorReadyMs = 30000;
    static constexpr std::int64_t kTransportDelayMs = 120;
    static constexpr double kRequirementSpread = 0.25;

    using Hold = EngineHold;
    using Setup = EngineSetup;
    static constexpr std::int64_t kRampMs = 400; // from one held point to the next

    // What the sensors see, in engineering units.
    struct Physical {
        double throttlePercent; // 0 .. 100
        double throttleRate;    // percent per second, negative when closing
        double rpm;
        double engineTempC;
        double airTempC;
        double manifoldKpa;
        bool cranking;
        bool stopped;
    };

    // configured: the tune the ECU is powered up with; the engine's fuel
    // requirement is set against it.
    explicit EngineModel(std::uint32_t seed, const EcuImage& configured = EcuImage::Tuned(),
                         EngineSetup setup = EngineSetup());

    Physical At(std::int64_t elapsedMs) const;
    // Channel counts as the ECU sends them, computed with the tune it holds.
    std::array<std::uint16_t, kChannels> Channels(std::int64_t elapsedMs,
                                                  const EcuImage& image) const;
    // The pulse in ms that burns at 14.7 AFR at this operating point.
    double RequiredFuelMs(double rpm, double throttlePercent) const;
    // The mixture the sensor reports at this moment.
    double Afr(std::int64_t elapsedMs, const EcuImage& image) const;

private:
    struct Fuel {
        double pulseMs = 0; // the fuel delivered, without the injector's opening time
        int accelSteps = 0;
        double warmUpPercent = 0;
    };
    Fuel CommandedFuel(const Physical& p, double rpm, const EcuImage& image) const;
    double Throttle(std::int64_t elapsedMs) const;
    // The scripted operating point; only with a drive.
    Hold Scripted(std::int64_t elapsedMs) const;
    // Smooth wobble in [-1, 1], one independent trace per stream.
    double Wobble(int stream, std::int64_t elapsedMs, std::int64_t periodMs) const;
    // A seeded draw in [-1, 1] for one stream and key.
    double Draw(int stream, std::int64_t key) const;

    std::uint32_t seed_;
    Setup setup_;
    std::vector<std::int64_t> holdEnds_; // from the firing, one per hold
    // The requirement's ground: the configured map's pulses and its rows in
    // throttle sensor counts above THR MIN.
    std::array<double, EcuImage::kMapRows * EcuImage::kMapCols> configuredMs_{};
    std::array<double, EcuImage::kMapRows> configuredRows_{};
    double configuredSpan_ = 255;
};

} // namespace kavrin::ecusim
