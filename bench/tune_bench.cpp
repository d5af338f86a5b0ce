// SPDX-License-Identifier: GPL-3.0-or-later
// A good dump that differs from the window's configuration in every one of
// its 214 bytes, all of them the user's own: compare, then build the
// difference report's rows in formatted mode, as the window does when the
// dump arrives. Goal: under 5 ms. Beside it, the history's share of undoing a
// 165-cell block fill online (the writes to queue; the window's goal for the
// whole undo is 5 ms). And the whole undo through the real window online
// (offscreen): Edit > Undo of a 165-cell block fill queues its 165 write
// messages; goal under 5 ms of window time.
//   QT_QPA_PLATFORM=offscreen build/bench/bin/tune_bench
#include "base/file_system.h"
#include "bench_platform.h"
#include "tune/difference_report.h"
#include "tune/reconcile.h"
#include "tune/undo_history.h"
#include "ui/main_window.h"
#include "window_bench_main.h"

#include <benchmark/benchmark.h>

#include <map>
#include <optional>

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

// Files kept in memory: the backups of the dumps stay off the disk.
class MemoryFiles final : public FileSystem {
public:
    std::optional<std::string> ReadFile(const std::string& path) override {
        const auto it = files_.find(path);
        if (it == files_.end()) return std::nullopt;
        return it->second;
    }
    bool WriteFile(const std::string& path, const std::string& content) override {
        files_[path] = content;
        return true;
    }
    std::vector<std::string> ListFiles(const std::string& folder,
                                       const std::string& suffix) override {
        std::vector<std::string> names;
        for (const auto& [path, text] : files_)
            if (path.starts_with(folder + "/") && path.ends_with(suffix))
                names.push_back(path.substr(folder.size() + 1));
        return names;
    }
    bool RemoveFile(const std::string& path) override {
        files_.erase(path);
        return true;
    }
    bool MakeFolder(const std::string&) override { return true; }
    std::string StateFolder() override { return "/state"; }

private:
    std::map<std::string, std::string> files_;
};

using Rig = bench::OnlineWindow<MemoryFiles>;
Rig* rig = nullptr;

void BM_WindowUndo165CellBlockFillOnline(benchmark::State& state) {
    frmKAVRIN& frm = rig->window.logic();
    {
        const TuneControl::Step fill(frm.tune());
        for (std::int16_t i = 0; i < 165; ++i) {
            std::int16_t index = i;
            // Every cell changes, so the undo has all 165 to write back.
            std::int16_t value = static_cast<std::int16_t>(frm.config().ConfigImage[i] ^ 0x55);
            frm.WriteConfigByte('M', index, value);
        }
    }
    long long bytes = 0;
    for (auto _ : state) {
        const long long before = rig->device.written;
        frm.tune().mnUndo_Click();
        bytes = rig->device.written - before;
        state.PauseTiming();
        frm.tune().mnRedo_Click();
        state.ResumeTiming();
    }
    QCoreApplication::processEvents();
    state.counters["writes_per_undo"] = static_cast<double>(bytes / 4);
}

BENCHMARK(BM_WindowUndo165CellBlockFillOnline)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return kavrin::bench::RunOnOneWindow(argc, argv, rig);
}
