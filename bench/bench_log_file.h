// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A datalog written the way the window writes one (the channels' conversions,
// the datalog, a real file), for the benchmarks that open logs.
#include "base/qt_file_system.h"
#include "live/channels.h"
#include "live/datalog.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kavrin::bench {

class SimulatedClock final : public MonotonicClock {
public:
    std::int64_t NowMs() override { return ms; }
    std::int64_t ms = 0;
};

struct NoChart final : LiveChart {
    void PlotPoint(std::int16_t, float, Colour, bool) override {}
    void Advance() override {}
};

// The column titles of the channel table, as a window in English gives them.
inline DatalogHeader DesignHeader() {
    DatalogHeader header;
    for (int n = 0; n < kMeasuredChannels; ++n) {
        header.names[n] = ChannelTable()[n].name;
        header.units[n] = ChannelTable()[n].unit;
    }
    header.indicators = {"CRANKING", "SELECTOR", "STOP", "PULSE", "FIRST", "ANTICIP"};
    return header;
}

// An engine on the road: every channel moving, rows at the pace of a busy
// engine-speed stream (1,000,000 an hour, 14 per 50 ms tick).
inline void WriteLog(const std::string& path, long long rows) {
    SimulatedClock clock;
    NoChart chart;
    Configuration config;
    config.FuelScale = 0.08f;
    WindowState state;
    state.prescaleMultiplier = 2;
    state.maps.ThrScale = 327;
    const ChannelControls controls;
    LiveChannels live(controls, chart, config, state, *NoControl(), 0);
    QtFileSystem files;
    Datalog log(clock);
    if (!log.Start(files.CreateStream(path), path, DesignHeader())) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(),
                     files.LastError().words.c_str());
        std::exit(1);
    }
    std::uint32_t x = 12345;
    auto next = [&x] { return x = x * 1664525u + 1013904223u; };
    for (long long i = 0; i < rows; ++i) {
        if (i % 14 == 0) {
            clock.ms += 50;
            log.Tick();
        }
        for (std::int16_t ch = 1; ch <= kStatusChannel; ++ch) {
            const std::uint32_t r = next() >> 8;
            std::int32_t count = static_cast<std::int32_t>(r % 256);
            if (ch == 7 || ch == 8) count = 40 + static_cast<std::int32_t>(r % 40);
            if (ch == 11) count = static_cast<std::int32_t>(r % 4);
            if (ch == 16) count = static_cast<std::int32_t>(r % 64);
            if (ch == 2 || ch == 3 || ch == 4) count = static_cast<std::int32_t>(r % 6000);
            live.ShowChannel(ch, count);
        }
        const std::int16_t rpm = 0;
        live.ShowChannel(rpm, 800 + static_cast<std::int32_t>(next() >> 8) % 7000);
        log.AddRow(live.ShownValues(), state.LastValues[kStatusChannel]);
    }
    if (!log.Stop()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

} // namespace kavrin::bench
