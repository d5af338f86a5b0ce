// SPDX-License-Identifier: GPL-3.0-or-later
// The datalog at a saturated line: 115200 baud, 8N1, is 11,520 bytes or 2,880
// four-byte frames a second. Simulated seconds of frames go through the
// channel conversions into a log on a real file; the process CPU time the log
// takes is the share of one core that logging at that rate costs (goal: at
// most 1 %). Two mixes: every frame an engine-speed frame (a row per frame, the
// worst case), and all seventeen channels in turn (a row per 17 frames).
//   build/bench/bin/datalog_bench [seconds] [folder]
// With --write, it only writes the log of N engine-speed frames (and the
// other channels between them) to PATH, for a data tool to read back:
//   datalog_bench --write PATH N
#include "base/clock.h"
#include "base/qt_file_system.h"
#include "bench_log_file.h"
#include "line_rate.h"
#include "live/channels.h"
#include "live/datalog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
using namespace kavrin;

using bench::CpuSeconds;
constexpr int kFramesPerSecond = bench::kLineFramesPerSecond;

class SimulatedClock final : public MonotonicClock {
public:
    std::int64_t NowMs() override { return static_cast<std::int64_t>(us / 1000); }
    long long us = 0;
};

struct Result {
    double cpuSeconds;
    long long rows;
};

// Frames of `channels` channels in turn, channel 0 last of each turn, at the
// line rate; only the log's own work is timed.
Result Run(long long frames, int channels, const std::string& path) {
    SimulatedClock clock;
    bench::NoChart chart;
    Configuration config;
    config.FuelScale = 0.08f;
    WindowState state;
    state.prescaleMultiplier = 2;
    const ChannelControls controls;
    LiveChannels live(controls, chart, config, state, *NoControl(), 0);
    QtFileSystem files;
    Datalog log(clock);
    DatalogHeader header = bench::DesignHeader();
    header.names[10] = "MAP, \"kPa\""; // a title that must be quoted
    if (!log.Start(files.CreateStream(path), path, header)) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), files.LastError().words.c_str());
        std::exit(1);
    }
    double logged = 0;
    long long nextTickUs = 50'000;
    for (long long i = 1; i <= frames; ++i) {
        clock.us = i * 1'000'000 / kFramesPerSecond;
        const auto channel = static_cast<std::int16_t>(i % channels);
        live.ShowChannel(channel, static_cast<std::int32_t>((i * 7919) & 0x3FFF));
        const bool tick = clock.us >= nextTickUs;
        if (channel != 0 && !tick) continue;
        const double t0 = CpuSeconds();
        if (channel == 0) log.AddRow(live.ShownValues(), state.LastValues[kStatusChannel]);
        if (tick) {
            log.Tick(); // the window's 50 ms timer
            nextTickUs += 50'000;
        }
        logged += CpuSeconds() - t0;
    }
    const double t0 = CpuSeconds();
    if (!log.Stop()) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(),
                     log.TakeFailure().value_or(Reason{}).words.c_str());
        std::exit(1);
    }
    return {logged + CpuSeconds() - t0, log.Rows()};
}
} // namespace

int main(int argc, char* argv[]) {
    if (argc == 4 && std::strcmp(argv[1], "--write") == 0) {
        std::setlocale(LC_ALL, ""); // the caller's locale, a comma one included
        const long long rows = Run(std::atoll(argv[3]) * 17, 17, argv[2]).rows;
        std::printf("%lld rows\n", rows);
        return 0;
    }
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const std::string folder = argc > 2 ? argv[2] : QDir::tempPath().toStdString();
    const std::string path = folder + "/kavrin-datalog-bench.csv";
    std::printf("datalog at 115200 baud (%d frames/s), %d s of frames, file in %s\n",
                kFramesPerSecond, seconds, folder.c_str());
    for (const int channels : {1, 17}) {
        const Result r = Run(static_cast<long long>(seconds) * kFramesPerSecond, channels, path);
        const double kB =
            static_cast<double>(QFileInfo(QString::fromStdString(path)).size()) / 1024;
        QFile::remove(QString::fromStdString(path));
        const double share = 100.0 * r.cpuSeconds / seconds;
        std::printf("  %-26s %5lld rows/s %7.1f kB/s %6.2f us/row  %.3f %% of a core (%s)\n",
                    channels == 1 ? "every frame engine speed" : "17 channels in turn",
                    r.rows / seconds, kB / seconds, r.rows ? r.cpuSeconds * 1e6 / r.rows : 0.0,
                    share, share <= 1.0 ? "within 1 %" : "OVER 1 %");
    }
    return 0;
}
