// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fuzz targets share: the rules they check besides the sanitizers (a
// broken rule aborts with its reason, so libFuzzer keeps the input), and a
// link over a faked port.
#include "support/link_rig.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kavrin::fuzz {

inline void Check(bool ok, const char* rule) {
    if (ok) return;
    std::fprintf(stderr, "broken: %s\n", rule);
    std::abort();
}

// What left for the ECU: the requests "G", "R" and "S", and write messages of
// four bytes ("M", index, value, check) whose index lies at or below lastIndex.
inline void CheckWire(const std::vector<std::uint8_t>& w, int lastIndex) {
    for (std::size_t i = 0; i < w.size(); i += w[i] == 'M' ? 4 : 1) {
        if (w[i] == 'G' || w[i] == 'R' || w[i] == 'S') continue;
        Check(w[i] == 'M' && i + 4 <= w.size(), "a byte on the wire that starts no message");
        Check((w[i] ^ w[i + 1] ^ w[i + 2] ^ w[i + 3]) == 0, "a write message with a bad check");
        Check(w[i + 1] <= lastIndex, "a write message past the image");
    }
}

// A link with port 1 open and the wire clear.
struct Wire : test::LinkRig {
    Wire() { Open(); }
};

} // namespace kavrin::fuzz
