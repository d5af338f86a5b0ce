// SPDX-License-Identifier: GPL-3.0-or-later
// The receive decoder and the link cycle over a faked port, fed any bytes.
// The first byte says how they arrive: bits 0-5 the bytes per tick (0: all in
// the first), bits 6-7 how far the clock moves between ticks (50, 5, 200 or
// 1000 ms). Besides the sanitizers:
//  - at that pace, with Timer2 every twenty ticks, the counters only grow, the
//    image keeps its size and the wire carries whole messages only;
//  - cut into those pieces with ticks quicker than any wait's deadline, the
//    bytes decode as they do in one piece: the same frames, counters, image
//    and wire (unless a resynchronisation threw away what had come).
#include "fuzz_harness.h"

#include <algorithm>
#include <memory>
#include <tuple>

using namespace kavrin;

namespace {

constexpr std::int64_t kTickMs[4] = {50, 5, 200, 1000};

void Paced(const std::uint8_t* data, std::size_t size, std::size_t chunk, std::int64_t tickMs) {
    fuzz::Wire rig;
    const int imageLast = rig.config.ImageLast;
    LinkCounters last;
    // Quiet ticks at the end let what waits for its bytes run out.
    const std::size_t quiet = 25 * chunk;
    for (std::size_t pos = 0, tick = 0; pos < size + quiet; pos += chunk, ++tick) {
        if (pos < size) rig.device.Feed({data + pos, data + std::min(size, pos + chunk)});
        rig.link.tmrcom_Timer();
        rig.clock.Advance(tickMs);
        if (tick % 20 == 19) rig.link.Timer2_Timer();
        const LinkCounters& now = rig.state.counters;
        fuzz::Check(now.badDumps >= last.badDumps && now.badFrames >= last.badFrames &&
                        now.timeouts >= last.timeouts,
                    "a link counter went down");
        last = now;
        fuzz::Check(rig.config.ImageLast == imageLast &&
                        rig.config.ConfigImage.size() == imageLast + 1,
                    "the image changed its size");
    }
    fuzz::CheckWire(rig.device.written, imageLast - 1);
}

// The bytes in pieces of `chunk`, each before a tick of a clock that stands
// still; then ticks until every byte is taken, and a second apart until no
// wait is left.
std::unique_ptr<fuzz::Wire> Cut(const std::uint8_t* data, std::size_t size, std::size_t chunk) {
    auto rig = std::make_unique<fuzz::Wire>();
    rig->device.mostPerRead = 1;
    for (std::size_t pos = 0; pos < size; pos += chunk) {
        rig->device.Feed({data + pos, data + std::min(size, pos + chunk)});
        rig->link.tmrcom_Timer();
    }
    for (std::size_t i = 0; i <= size && !rig->device.incoming.empty(); ++i)
        rig->link.tmrcom_Timer();
    for (int i = 0; i < 3; ++i) {
        rig->clock.Advance(1000);
        rig->link.tmrcom_Timer();
    }
    return rig;
}

void DecodesAlike(const std::uint8_t* data, std::size_t size, std::size_t chunk) {
    const auto whole = Cut(data, size, size);
    const auto cut = Cut(data, size, chunk);
    if (whole->device.opened.size() != 1 || cut->device.opened.size() != 1) return;
    fuzz::Check(whole->host.channels == cut->host.channels, "cut, other frames");
    const LinkCounters& a = whole->state.counters;
    const LinkCounters& b = cut->state.counters;
    fuzz::Check(std::tie(a.rValue, a.badDumps, a.badFrames, a.timeouts, a.dumpRetry) ==
                    std::tie(b.rValue, b.badDumps, b.badFrames, b.timeouts, b.dumpRetry),
                "cut, other counters");
    for (int i = 0; i <= whole->config.ImageLast; ++i)
        fuzz::Check(whole->config.ConfigImage[i] == cut->config.ConfigImage[i],
                    "cut, another image");
    fuzz::Check(whole->device.written == cut->device.written, "cut, another wire");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t bytes = size - 1;
    const std::size_t chunk = (data[0] & 0x3F) ? data[0] & 0x3F : std::max<std::size_t>(bytes, 1);
    Paced(data + 1, bytes, chunk, kTickMs[data[0] >> 6]);
    DecodesAlike(data + 1, bytes, chunk);
    return 0;
}
