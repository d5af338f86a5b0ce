// SPDX-License-Identifier: GPL-3.0-or-later
// A good dump that differs from the window's configuration in every one of
// its 214 bytes, all of them the user's own: compare, then build the
// difference report's rows in formatted mode, as the window does when the
// dump arrives. Goal: under 5 ms. Beside it, the history's share of undoing a
// 165-cell block fill online (the writes to queue; the window's goal for the
// whole undo is 5 ms).
//   build/bench/bin/tune_bench
#include "tune/difference_report.h"
#include "tune/reconcile.h"
#include "tune/undo_history.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {
using namespace kavrin;

// Every name a row can carry, so the rows cost what they cost in the window.
LanguageTexts Texts() {
    std::string lan;
    for (int n = 1; n <= 340; ++n) lan += std::to_string(n) + ";text " + std::to_string(n) + "\r\n";
    LanguageTexts texts;
    texts.Load(lan);
    return texts;
}

void BM_CompareAndReportFullDifference(benchmark::State& state) {
    const LanguageTexts texts = Texts();
    Configuration window;
    window.SizeImage();
    ByteOwnership ownership(window);
    std::vector<std::uint8_t> dump(static_cast<std::size_t>(window.ImageLast) + 1);
    for (int i = 0; i < window.ImageLast; ++i) {
        window.ConfigImage.Set(i, i % 200 + 1);
        ownership.OfflineWrite(i, static_cast<std::uint8_t>(i % 200 + 1));
        dump[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % 200 + 50);
    }
    std::size_t rows = 0;
    for (auto _ : state) {
        const ReconcileResult result = Reconcile(window, ownership, dump);
        const DifferenceReport report =
            BuildDifferenceReport(result, window, kFormattedData, texts);
        rows = report.rows.size();
        benchmark::DoNotOptimize(report);
    }
    state.counters["differing_bytes"] = window.ImageLast;
    state.counters["rows"] = static_cast<double>(rows);
}

BENCHMARK(BM_CompareAndReportFullDifference)->Unit(benchmark::kMillisecond);

void BM_UndoAndRedo165CellBlockFillOnline(benchmark::State& state) {
    Configuration window;
    window.SizeImage();
    ByteOwnership ownership(window);
    UndoHistory history([&] { return ownership.WindowSnapshot(window); });
    {
        UndoHistory::Step fill(history, "block fill");
        for (int i = 0; i < window.FuelCells; ++i) ownership.OnlineWriteSent(i, 77);
    }
    std::size_t writes = 0;
    for (auto _ : state) {
        const HistoryAction undo = history.Undo();
        for (const ByteWrite& w : undo.writes) ownership.OnlineWriteSent(w.index, w.value);
        const HistoryAction redo = history.Redo();
        for (const ByteWrite& w : redo.writes) ownership.OnlineWriteSent(w.index, w.value);
        writes = undo.writes.size();
    }
    state.counters["writes_per_undo"] = static_cast<double>(writes);
}

BENCHMARK(BM_UndoAndRedo165CellBlockFillOnline)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
