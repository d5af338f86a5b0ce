// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main of a benchmark program whose benchmarks share one online window:
// on the offscreen platform unless the environment names another, the window
// built once before the benchmarks run.
#include <QApplication>
#include <benchmark/benchmark.h>

namespace kavrin::bench {

template <typename Rig> int RunOnOneWindow(int argc, char** argv, Rig*& rig) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    Rig theRig;
    rig = &theRig;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    rig = nullptr;
    return 0;
}

} // namespace kavrin::bench
