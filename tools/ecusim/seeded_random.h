// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

namespace kavrin::ecusim {

// SplitMix64: the same numbers for the same seed on every machine and compiler,
// which the standard library's distributions do not promise.
class SeededRandom {
public:
    explicit SeededRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() { return Mix(state_ += 0x9E3779B97F4A7C15ull); }

    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

    bool Chance(double share) { return share > 0.0 && Unit() < share; }

    // A stateless draw for the engine's wobble: same inputs, same number.
    static std::uint64_t Mix(std::uint64_t z) {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

private:
    std::uint64_t state_;
};

} // namespace kavrin::ecusim
