// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a datalog and drawing its traces. A log of N rows is written the way
// the window writes one (the channels' conversions, the datalog, a real file;
// an hour of a busy engine-speed stream is about a million rows), then read
// back: the time to open it (goal: 100,000 rows under 0.3 s, 1,000,000 under
// 3 s, Release) and the growth of the resident memory (goal: under 400 MB for a
// million rows), then the min/max summary that draws 1000 screen columns of
// every channel at any zoom, and the mixture analysis over the whole log.
//   build/release/bin/log_bench [rows...]      (default: 100000 1000000)
// Each size runs in a process of its own, so that one does not lend the
// other its freed memory.
#include "analysis/datalog_reader.h"
#include "analysis/mixture.h"
#include "analysis/trace_summary.h"
#include "bench_log_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {
using namespace kavrin;
using bench::WriteLog;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Resident memory now, and its peak since the last ResetPeak, in MB.
double ResidentMb() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}
double PeakMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void Bench(long long rows) {
    const std::string path =
        QDir::tempPath().toStdString() + "/kavrin-log-bench-" + std::to_string(getpid()) + ".csv";
    auto t0 = std::chrono::steady_clock::now();
    WriteLog(path, rows);
    const double writeS = Seconds(t0);
    const double mb = static_cast<double>(QFileInfo(QString::fromStdString(path)).size()) / 1e6;

    QtFileSystem files;
    const double before = ResidentMb();
    ResetPeak();
    t0 = std::chrono::steady_clock::now();
    const DatalogReadResult log = ReadDatalog(files, path);
    const double openS = Seconds(t0);
    const double after = ResidentMb();
    const double peak = PeakMb();
    QFile::remove(QString::fromStdString(path));
    if (!log.ok || static_cast<long long>(log.data.Rows()) != rows) {
        std::fprintf(stderr, "the log was not read back: %s\n",
                     DescribeDatalogProblem(log.problem).c_str());
        std::exit(1);
    }
    const double goal = rows <= 100000 ? 0.3 : 3.0;
    std::printf("%8lld rows, %6.1f MB file (written in %.2f s)\n", rows, mb, writeS);
    std::printf("  open          %7.3f s  (goal %.1f s: %s)\n", openS, goal,
                openS < goal ? "met" : "MISSED");
    std::printf("  resident      +%6.1f MB after, +%6.1f MB at the peak (goal +400 MB: %s)\n",
                after - before, peak - before, peak - before < 400 ? "met" : "MISSED");

    t0 = std::chrono::steady_clock::now();
    const TraceSummary summary(log.data);
    std::printf("  summary built %7.3f s, +%.1f MB\n", Seconds(t0), ResidentMb() - after);

    // Panning at three zooms: the whole log, a tenth of it, a thousandth.
    std::vector<TraceColumn> columns(1000);
    const double duration = static_cast<double>(log.data.DurationMs());
    for (const double share : {1.0, 0.1, 0.001}) {
        const int frames = 100;
        const double width = duration * share;
        t0 = std::chrono::steady_clock::now();
        for (int f = 0; f < frames; ++f) {
            const double from = (duration - width) * f / frames;
            for (int c = 0; c < kMeasuredChannels; ++c)
                summary.Summarise(c, from, from + width, columns);
        }
        std::printf("  1000 columns x 16 channels, %6.1f s in view: %7.3f ms a frame\n",
                    width / 1000.0, Seconds(t0) * 1000.0 / frames);
    }

    Configuration config;
    config.SizeImage();
    for (int i = 0; i < config.FuelCells; ++i) config.ConfigImage.Set(i, 100);
    config.ConfigImage.Set(config.ParamBase + 5, 255);
    config.ConfigImage.Set(config.ParamBase + 8, 100);
    config.UpdateFuelScale();
    t0 = std::chrono::steady_clock::now();
    const MixtureResult mixture = AnalyseLog(
        log.data, config, TargetAfrTable::Default(FuelMapModel::FromConfiguration(config)), {});
    std::printf("  mixture analysis %6.3f s (%lld samples)\n", Seconds(t0),
                static_cast<long long>(mixture.samples));
}
} // namespace

int main(int argc, char* argv[]) {
    std::vector<long long> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoll(argv[i]));
    if (sizes.empty()) sizes = {100000, 1000000};
    for (const long long rows : sizes) {
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            Bench(rows);
            std::fflush(stdout);
            std::_Exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
    }
    return 0;
}
