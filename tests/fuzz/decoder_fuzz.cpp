// SPDX-License-Identifier: GPL-3.0-or-later
// The receive decoder and the link cycle over a faked port, fed any bytes.
// The first byte says how they arrive: bits 0-5 the bytes per tick (0: all in
// the first), bits 6-7 how far the clock moves between ticks (50, 5, 200 or
// 1000 ms).
#include "fuzz_harness.h"

using namespace kavrin;

namespace {
constexpr std::int64_t kTickMs[4] = {50, 5, 200, 1000};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    fuzz::Wire rig;
    const std::size_t chunk = (data[0] & 0x3F) ? data[0] & 0x3F : size;
    const std::int64_t tickMs = kTickMs[data[0] >> 6];
    const int imageLast = rig.config.ImageLast;
    fuzz::CounterWatch counters;
    // Quiet ticks at the end let what waits for its bytes run out.
    for (std::size_t pos = 1, tick = 0; pos < size + 25 * chunk; pos += chunk, ++tick) {
        if (pos < size) rig.device.Feed({data + pos, data + std::min(size, pos + chunk)});
        rig.link.tmrcom_Timer();
        rig.clock.Advance(tickMs);
        if (tick % 20 == 19) rig.link.Timer2_Timer();
        counters.Check(rig.state.counters);
        fuzz::Check(rig.config.ImageLast == imageLast &&
                        rig.config.ConfigImage.size() == imageLast + 1,
                    "the image changed its size");
    }
    fuzz::CheckWire(rig.device.written, imageLast - 1);
    return 0;
}
