// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "seeded_random.h"
#include "sim_options.h"

#include <cstdint>

namespace kavrin::ecusim {

// The line faults asked for on the command line. Each kind of fault draws from
// its own sequence, so turning one on does not move where the others fall.
class FaultInjector {
public:
    FaultInjector(const SimOptions& options, std::int64_t startMs);

    // A value to XOR into the check byte of the next live frame: 0 leaves it good.
    std::uint8_t NextFrameDamage();
    bool DropNextByte();

    // Silence cuts the ECU's transmit line only: it keeps listening and acting
    // on what the PC sends, but nothing it sends arrives.
    bool Silent(std::int64_t nowMs) const;
    void SilenceFor(std::int64_t nowMs, std::int64_t durationMs);

private:
    SimOptions options_;
    std::int64_t startMs_;
    std::int64_t silentUntilMs_;
    SeededRandom corrupt_;
    SeededRandom drop_;
};

} // namespace kavrin::ecusim
