// The datalog at a saturated line: 115200 baud, 8N1, is 11,520 bytes or 2,880
// four-byte frames a second. Simulated seconds of frames go through the
// channel conversions into a log on a real file; the process CPU time they take
// is the share of one core that logging at that rate costs (goal: at most 1 %).
//   build/bench/bin/datalog_bench [seconds] [folder]
// Two mixes: every frame an engine-speed frame (a row per frame, the worst
// case), and all seventeen channels in turn (a row per 17 frames).
#include "base/clock.h"
#include "base/qt_file_system.h"
#include "live/channels.h"
#include "live/datalog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {
using namespace kavrin;

constexpr int kFramesPerSecond = 11520 / 4;

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

class SimulatedClock final : public MonotonicClock {
public:
    std::int64_t NowMs() override { return static_cast<std::int64_t>(us / 1000); }
    long long us = 0;
};

struct NoChart final : LiveChart {
    void PlotPoint(std::int16_t, float, Colour, bool) override {}
    void Advance() override {}
};

struct Result {
    double cpuSeconds;
    long long rows;
    long long bytes;
};

// Frames of `channels` channels in turn (channel 0 last of each turn), with the
// log's own work alone timed: the conversions run with or without a log.
Result Run(int seconds, int channels, const std::string& path) {
    SimulatedClock clock;
    NoChart chart;
    Configuration config;
    config.FuelScale = 0.08f;
    WindowState state;
    state.prescaleMultiplier = 2;
    const ChannelControls controls;
    LiveChannels live(controls, chart, config, state, *NoControl(), 0);
    QtFileSystem files;
    Datalog log(clock);
    DatalogHeader header;
    for (int n = 0; n < kMeasuredChannels; ++n) {
        header.names[n] = ChannelTable()[n].name;
        header.units[n] = ChannelTable()[n].unit;
    }
    if (!log.Start(files.CreateStream(path), path, header)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    double logged = 0;
    const long long frames = static_cast<long long>(seconds) * kFramesPerSecond;
    long long nextTickUs = 50'000;
    for (long long i = 0; i < frames; ++i) {
        clock.us = i * 1'000'000 / kFramesPerSecond;
        const auto channel = static_cast<std::int16_t>(channels == 1 ? 0 : (i + 1) % channels);
        const auto value = static_cast<std::int32_t>((i * 7919) & 0x3FFF);
        live.ShowChannel(channel, value);
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
    log.Stop();
    logged += CpuSeconds() - t0;
    const long long rows = log.Rows();
    const long long bytes = QFileInfo(QString::fromStdString(path)).size();
    QFile::remove(QString::fromStdString(path));
    return {logged, rows, bytes};
}
} // namespace

int main(int argc, char* argv[]) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const std::string folder = argc > 2 ? argv[2] : QDir::tempPath().toStdString();
    const std::string path = folder + "/kavrin-datalog-bench.csv";
    std::printf("datalog at 115200 baud (%d frames/s), %d s of frames, file in %s\n",
                kFramesPerSecond, seconds, folder.c_str());
    struct Mix {
        const char* name;
        int channels;
    };
    for (const Mix mix : {Mix{"every frame engine speed", 1}, Mix{"17 channels in turn", 17}}) {
        const Result r = Run(seconds, mix.channels, path);
        const double share = 100.0 * r.cpuSeconds / seconds;
        std::printf("  %-26s %7lld rows/s  %8.1f kB/s  %6.2f us/row  %.3f %% of a core  (%s)\n",
                    mix.name, r.rows / seconds, r.bytes / 1024.0 / seconds,
                    r.rows ? r.cpuSeconds * 1e6 / r.rows : 0.0, share,
                    share <= 1.0 ? "within 1 %" : "OVER 1 %");
    }
    return 0;
}
