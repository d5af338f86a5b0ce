// SPDX-License-Identifier: GPL-3.0-or-later
// The live views on the real widgets, timed on the real event loop:
//  1. a saturated 115200-baud stream (2,880 frames/s) of all sixteen channels,
//     every channel plotted, through the window's own 50 ms timer, painting
//     included: the process's CPU time as a share of one core;
//  2. TrackLiveCell with its tint and markers on every tick, painting included;
//  3. automatic detection over 8 listed ports, none answering: wall time until
//     the window gives up.
// Run on a real X server to count the painting:
//   xvfb-run -a -s "-screen 0 1366x768x24" build/bench/bin/live_view_bench [seconds]
#include "base/file_system.h"
#include "base/settings_store.h"
#include "bench_platform.h"
#include "serial/port_directory.h"
#include "serial/serial_device.h"
#include "ui/auto_dialog.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

#include <cstdio>
#include <vector>

namespace {
using namespace kavrin;
using namespace kavrin::bench;

// Bytes arrive at the line rate by the wall clock, as from a real port.
class LineRateDevice final : public SerialDevice {
public:
    bool Open(const std::string&) override {
        started_.start();
        taken_ = 0;
        return true;
    }
    void Close() override {}
    void Write(std::span<const std::uint8_t>) override {}
    std::size_t Read(std::span<std::uint8_t> into) override {
        if (!streaming || stream.empty()) return 0;
        const auto due = static_cast<std::uint64_t>(started_.nsecsElapsed() / 1000 *
                                                    kLineBytesPerSecond / 1'000'000);
        std::size_t n = 0;
        while (n < into.size() && taken_ < due) into[n++] = stream[taken_++ % stream.size()];
        return n;
    }
    bool streaming = false;
    std::vector<std::uint8_t> stream;

private:
    QElapsedTimer started_;
    std::uint64_t taken_ = 0;
};

// A dump, then rounds of the sixteen channels and the status bits with an
// engine that sweeps its speed and throttle.
std::vector<std::uint8_t> Stream() {
    std::vector<std::uint8_t> out = TuneDump();
    for (int round = 0; round < 2000; ++round) {
        const double phase = round / 2000.0;
        const auto rpm =
            static_cast<std::uint16_t>(1024 + 9000 * (phase < 0.5 ? phase : 1 - phase));
        for (int ch = 0; ch < 16; ++ch)
            Put(out, static_cast<std::uint8_t>('0' + ch),
                ch == 0   ? rpm
                : ch == 5 ? static_cast<std::uint16_t>(20 + (round * 7) % 200)
                          : static_cast<std::uint16_t>((round * (ch + 3)) % 1000));
        Put(out, static_cast<std::uint8_t>('0' + 16), static_cast<std::uint16_t>(round % 64));
    }
    return out;
}

void RunFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    LineRateDevice device;
    BenchPorts ports;
    SteadyClock clock;
    FormattedSettings settings;
    DiskFileSystem files;
    MainWindow window(Platform{device, ports, clock, settings, files,
                               QCoreApplication::applicationDirPath().toStdString()});
    window.Load();
    window.show();
    for (CheckControl* chk : window.view().channels.chk) chk->SetChecked(true);
    RunFor(300);

    // 1. The saturated stream.
    device.stream = Stream();
    device.streaming = true;
    std::int16_t port = 1;
    window.logic().AbrirPuerto(port, true);
    RunFor(1000); // the dump and the first frames
    const int repaints0 = window.chart().repaints();
    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    RunFor(seconds * 1000);
    const double busy = CpuSeconds() - cpu0;
    const double elapsed = static_cast<double>(wall.nsecsElapsed()) * 1e-9;
    std::printf("saturated stream, 16 channels plotted: %.2f %% of one core over %.1f s "
                "(%.1f chart repaints/s, platform %s)\n",
                100.0 * busy / elapsed, elapsed, (window.chart().repaints() - repaints0) / elapsed,
                qPrintable(QGuiApplication::platformName()));
    device.streaming = false;

    // 2. TrackLiveCell with its tint on every tick, painting included: the
    //    operating point standing still, and moving to another cell every tick.
    for (const bool moving : {false, true}) {
        frmKAVRIN& frm = window.logic();
        const int ticks = 2000;
        const double c0 = CpuSeconds();
        for (int i = 0; i < ticks; ++i) {
            // As the link delivers them: engine speed, then throttle counts.
            frm.ShowChannel(0, moving ? 1024 + (i * 1097) % 14000 : 3500);
            frm.ShowChannel(5, moving ? (i * 13) % 256 : 100);
            frm.TrackLiveCell();
            QCoreApplication::processEvents();
        }
        const double perTick = (CpuSeconds() - c0) / ticks;
        std::printf("TrackLiveCell with tint and markers, %s: %.1f us per tick, %.3f %% of one "
                    "core at 20 ticks/s\n",
                    moving ? "new cell every tick" : "standing still", perTick * 1e6,
                    perTick * 20 * 100);
    }

    // 3. Detection over 8 ports that open and never answer.
    {
        ports.list = {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"};
        AutoDialog dialog(window.logic().detectionHost(), ports, window.logic().texts(), &window);
        dialog.show();
        QElapsedTimer t;
        t.start();
        dialog.logic().Form_Load();
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (dialog.Status().Text() == window.logic().texts().Text(86) || t.elapsed() > 30000)
                loop.quit();
        });
        poll.start(1);
        loop.exec();
        const double s = static_cast<double>(t.nsecsElapsed()) * 1e-9;
        std::printf("detection over 8 silent ports: %.3f s (goal 12.000 s + at most 0.100 s)\n", s);
    }
    return 0;
}
