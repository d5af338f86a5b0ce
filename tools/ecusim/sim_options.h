// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

namespace kavrin::ecusim {

// How the simulated ECU behaves: stream rate and the faults it puts on the line.
struct SimOptions {
    // Live frames per second; 2880 fills the line (4 bytes each at 11520 bytes/s).
    int frameRate = 300;
    std::uint32_t seed = 1;
    double corruptShare = 0.0; // live frames sent with a wrong check byte
    double dropShare = 0.0;    // bytes lost on the line
    // Every silenceEveryMs the ECU stops sending for silenceForMs (0 = never).
    std::int64_t silenceEveryMs = 0;
    std::int64_t silenceForMs = 2000;
    bool badDump = false;      // every dump carries a wrong check byte
    bool truncateDump = false; // every dump stops after half its bytes
    // Configuration bytes (index, value) the ECU changes when it first goes
    // silent: a reconnect brings back an ECU changed while it was away.
    std::vector<std::pair<int, std::uint8_t>> changesWhileSilent{};
};

} // namespace kavrin::ecusim
