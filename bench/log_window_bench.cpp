// SPDX-License-Identifier: GPL-3.0-or-later
// The log window on a big log: the time from "Open log..." to the window
// showing it (read in slices, summarised, analysed), then frames per second
// while panning at several zooms and while zooming with the wheel (goal: at
// least 30 at any zoom). Run it from a Release build on a real display:
//   xvfb-run -a build/release/bin/log_window_bench [rows [picture.png]]
// (default 1,000,000 rows; the picture shows the window as the bench left it)
#include "bench_log_file.h"
#include "bench_platform.h"
#include "ui/log_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

namespace {
using namespace kavrin;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Frames a second over n frames, each painted to the screen before the next.
double Fps(TraceView& traces, int frames, const std::function<void(int)>& step) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int f = 0; f < frames; ++f) {
        step(f);
        traces.repaint();
    }
    QApplication::sync();
    return frames / Seconds(t0);
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const long long rows = argc > 1 ? std::atoll(argv[1]) : 1000000;
    const std::string path = QDir::tempPath().toStdString() + "/kavrin-log-window-bench-" +
                             std::to_string(getpid()) + ".csv";
    bench::WriteLog(path, rows);
    bench::OnlineWindow<QtFileSystem> rig;

    auto t0 = std::chrono::steady_clock::now();
    LogWindow* log = rig.window.OpenLog(path);
    log->resize(1920, 1080);
    // The window's own timer would read the same slices; here they follow
    // one another without the event loop between them.
    while (!log->StepLoad()) {
    }
    QApplication::processEvents();
    const double openS = Seconds(t0);
    QFile::remove(QString::fromStdString(path));
    if (!log->Loaded()) {
        std::fprintf(stderr, "%s\n", log->Note().toStdString().c_str());
        return 1;
    }
    std::printf("%zu rows read on %s: open %.2f s (read, summary, mixture analysis, window)\n",
                log->data().Rows(), QApplication::platformName().toStdString().c_str(), openS);
    TraceView& traces = log->traces();
    std::printf("traces %d x %d pixels, 16 channels\n", traces.width(), traces.height());

    const double duration = static_cast<double>(log->data().DurationMs());
    double slowest = 1e9;
    const int paintsBefore = traces.paints();
    int frames = 0;
    for (const double share : {0.5, 0.1, 0.01, 0.001, 0.0001}) {
        const double span = duration * share;
        traces.SetRange(duration / 2 - span / 2, duration / 2 + span / 2);
        const double fps = Fps(traces, 120, [&](int f) { traces.PanPixels(f < 60 ? 7 : -7); });
        // A drag the picture cannot follow by whole pixels: every frame drawn afresh.
        const double px = span / traces.width();
        const double fresh = Fps(traces, 120, [&](int f) {
            const double from = traces.FromMs() + (f < 60 ? 7.5 : -7.5) * px;
            traces.SetRange(from, from + span);
        });
        frames += 240;
        slowest = std::min({slowest, fps, fresh});
        std::printf("  panning, %10.1f s in view: %7.1f frames/s (%7.1f drawn afresh each)\n",
                    span / 1000.0, fps, fresh);
    }
    traces.SetRange(0, duration);
    const double x = traces.width() / 2.0;
    const double zoom = Fps(traces, 120, [&](int f) { traces.ZoomAt(x, f < 60 ? 0.8 : 1.25); });
    slowest = std::min(slowest, zoom);
    frames += 120;
    if (traces.paints() - paintsBefore < frames) {
        std::fprintf(stderr, "only %d of %d frames were painted\n", traces.paints() - paintsBefore,
                     frames);
        return 1;
    }
    std::printf("  zooming with the wheel:          %6.1f frames/s\n", zoom);
    if (argc > 2) log->grab().save(QString::fromLocal8Bit(argv[2]));
    std::printf("slowest %.1f frames/s (goal 30: %s)\n", slowest, slowest >= 30 ? "met" : "MISSED");
    return 0;
}
