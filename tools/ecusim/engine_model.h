// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <cstdint>

namespace kavrin::ecusim {

class EcuImage;

// The engine on the test bench, as a pure function of the time since power-up
// and the seed: the same seed and the same instants give the same readings,
// whatever the order in which they are asked for.
class EngineModel {
public:
    static constexpr int kChannels = 17; // 16 measured channels and the status bits
    static constexpr int kStatusChannel = 16;

    // Status bits of channel 16.
    static constexpr std::uint16_t kCranking = 1u << 0;
    static constexpr std::uint16_t kSelector = 1u << 1;
    static constexpr std::uint16_t kStop = 1u << 2;
    static constexpr std::uint16_t kPulseHighLow = 1u << 3;
    static constexpr std::uint16_t kFirst = 1u << 4;
    static constexpr std::uint16_t kAdvance = 1u << 5;

    // Engine stopped, then the starter turns it, then it fires.
    static constexpr std::int64_t kStopEndsMs = 300;
    static constexpr std::int64_t kCrankingEndsMs = 2500;

    // What the sensors see, in engineering units.
    struct Physical {
        double throttlePercent; // 0 .. 100
        double throttleRate;    // percent per second, negative when closing
        double rpm;
        double engineTempC;
        double airTempC;
        double afr;
        double manifoldKpa;
        bool cranking;
        bool stopped;
    };

    explicit EngineModel(std::uint32_t seed) : seed_(seed) {}

    Physical At(std::int64_t elapsedMs) const;
    // Channel counts as the ECU sends them, computed with the tune it holds.
    std::array<std::uint16_t, kChannels> Channels(std::int64_t elapsedMs,
                                                  const EcuImage& image) const;

private:
    double Throttle(std::int64_t elapsedMs) const;
    // Smooth wobble in [-1, 1], one independent trace per stream.
    double Wobble(int stream, std::int64_t elapsedMs, std::int64_t periodMs) const;

    std::uint32_t seed_;
};

} // namespace kavrin::ecusim
