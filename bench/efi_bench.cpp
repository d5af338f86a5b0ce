// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a configuration file while online, on the real widgets (offscreen):
// read the file, check it whole, send its 214 bytes as write messages and
// refresh the window once.
//   QT_QPA_PLATFORM=offscreen build/test/bin/efi_bench
#include "base/qt_file_system.h"
#include "base/settings_store.h"
#include "bench_platform.h"
#include "config/efi_file.h"
#include "serial/port_directory.h"
#include "serial/serial_device.h"
#include "ui/main_window.h"
#include "window_bench_main.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {
using namespace kavrin;
using namespace kavrin::bench;

// The window online; the tune it holds saved as the file every load reads.
struct Rig : OnlineWindow<QtFileSystem> {
    Rig() {
        path = folder.filePath(QStringLiteral("tune.efi")).toStdString();
        files.WriteFile(path, WriteEfiText(window.logic().config()));
    }
    QTemporaryDir folder;
    std::string path;
};

Rig* rig = nullptr;

void BM_Load214ByteFileOnline(benchmark::State& state) {
    if (!rig->window.logic().linkState().flags.online)
        state.SkipWithError("the window is not online");
    const long long before = rig->device.written;
    for (auto _ : state)
        if (!rig->window.logic().files().ReadEfiFile(rig->path)) state.SkipWithError("file refused");
    QCoreApplication::processEvents();
    state.counters["bytes_sent_per_load"] =
        static_cast<double>(rig->device.written - before) / static_cast<double>(state.iterations());
}

BENCHMARK(BM_Load214ByteFileOnline)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return kavrin::bench::RunOnOneWindow(argc, argv, rig);
}
