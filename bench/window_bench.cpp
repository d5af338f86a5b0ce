// SPDX-License-Identifier: GPL-3.0-or-later
// The receive path on the real widgets (offscreen): one ShowConfig, 214 "M"
// echoes in a row as when a file is loaded while online, and one second of a
// saturated 115200-baud live stream (2,880 frames) through the decoder,
// ShowChannel and the labels.
//   QT_QPA_PLATFORM=offscreen build/bench/bin/window_bench
#include "base/file_system.h"
#include "base/settings_store.h"
#include "bench_platform.h"
#include "serial/port_directory.h"
#include "serial/serial_device.h"
#include "ui/main_window.h"
#include "window_bench_main.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {
using namespace kavrin;
using namespace kavrin::bench;

using Rig = OnlineWindow<DiskFileSystem>;

Rig* rig = nullptr;

void BM_ShowConfig(benchmark::State& state) {
    for (auto _ : state) rig->window.logic().ShowConfig();
    QCoreApplication::processEvents();
}

void BM_214EchoesInARow(benchmark::State& state) {
    std::vector<std::uint8_t> echoes;
    for (int i = 0; i < 214; ++i) Put(echoes, 'M', static_cast<std::uint16_t>((i % 250) << 8 | i));
    for (auto _ : state) {
        rig->device.Load(echoes);
        rig->window.logic().tmrcom_Timer();
    }
    QCoreApplication::processEvents();
    state.counters["echoes"] = 214;
}

void BM_OneSecondOfSaturatedLiveStream(benchmark::State& state) {
    std::vector<std::uint8_t> second;
    int other = 1;
    for (int i = 0; i < kLineFramesPerSecond; ++i) {
        const int channel = i % 2 == 0 ? 0 : other;
        if (i % 2 == 1) other = other % 16 + 1;
        Put(second, static_cast<std::uint8_t>(0x30 + channel),
            static_cast<std::uint16_t>((i * 13 + channel * 300) % 4000));
    }
    for (auto _ : state) {
        // Twenty ticks' worth at a time, as the 50 ms timer would take them.
        for (int tick = 0; tick < 20; ++tick) {
            rig->device.Load({second.begin() + tick * 576, second.begin() + (tick + 1) * 576});
            rig->window.logic().tmrcom_Timer();
        }
    }
    QCoreApplication::processEvents();
    state.counters["busy_s_per_stream_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_ShowConfig)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_214EchoesInARow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneSecondOfSaturatedLiveStream)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return kavrin::bench::RunOnOneWindow(argc, argv, rig);
}
