// SPDX-License-Identifier: GPL-3.0-or-later
// The tool against the simulated ECU over a real pseudo-terminal: first the
// window with the real serial port, then the real program.
#include "base/qt_settings_store.h"
#include "serial/qt_serial_device.h"
#include "support/qt_application.h"
#include "ui/main_window.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

namespace kavrin::test {
namespace {

using namespace std::chrono_literals;

// Polls until done() holds or the limit passes: these tests wait on other
// programs' output; nothing here stands in for a timer.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return (std::ostringstream() << in.rdbuf()).str();
}

std::string MakeTempDir() {
    char pattern[] = "/tmp/kavrin-test-XXXXXX";
    const char* dir = ::mkdtemp(pattern);
    return dir ? dir : "/tmp";
}

std::string BinDir() {
    const char* dir = std::getenv("KAVRIN_BIN_DIR");
    return dir ? dir : ".";
}

// A program of this build, its output in a file; killed if still running at the end.
struct Program {
    Program(const char* name, const std::vector<std::string>& args, const std::string& output) {
        QStringList list;
        for (const auto& a : args) list << QString::fromStdString(a);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(QString::fromStdString(output));
        process.start(QString::fromStdString(BinDir() + "/" + name), list);
        process.waitForStarted();
    }
    void Signal(int signal) { ::kill(static_cast<pid_t>(process.processId()), signal); }
    // The exit code; -1 when it did not end within the limit or a signal ended it.
    int Wait(std::chrono::milliseconds limit) {
        const bool ended = process.waitForFinished(static_cast<int>(limit.count()));
        return ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    QProcess process;
};

// Every test of this program and the programs it starts share one settings
// folder of their own, set before anything reads the settings.
[[maybe_unused]] const int kConfigHome = ::setenv("XDG_CONFIG_HOME", MakeTempDir().c_str(), 1);

struct Simulator {
    explicit Simulator(int port) {
        const std::string dir = MakeTempDir(), ready = dir + "/ready";
        log = dir + "/ecu.log";
        const std::vector<std::string> args{
            "--port", std::to_string(port), "--ready-file", ready, "--log", log, "--seed", "7"};
        process = std::make_unique<Program>("kavrin-ecusim", args, dir + "/ecu.out");
        started = WaitUntil([&] { return !ReadWholeFile(ready).empty(); }, 10s);
    }
    bool Logged(const std::string& line) const {
        return ("\n" + ReadWholeFile(log)).find("\n" + line + "\n") != std::string::npos;
    }
    std::string log;
    std::unique_ptr<Program> process;
    bool started = false;
};

TEST(EndToEnd, WindowTalksToTheSimulatedEcu) {
    Simulator ecu(21);
    ASSERT_TRUE(ecu.started) << "the simulated ECU did not start";

    QtSettingsStore settings;
    settings.SaveSetting("kavrin", "main", "com", "21");
    QtSerialDevice device;
    SettingsPortDirectory ports(settings, [] { return std::vector<std::string>{}; });
    SteadyClock clock;
    DiskFileSystem files;
    MainWindow window(Platform{device, ports, clock, settings, files, BinDir()});
    window.Load();
    window.show();
    frmKAVRIN& frm = window.logic();

    // The window's own timers run, and the event loop moves the port's bytes.
    auto run = [&](const std::function<bool()>& done) {
        return WaitUntil(
            [&] {
                QCoreApplication::processEvents();
                return done();
            },
            15s);
    };
    ASSERT_TRUE(
        run([&] { return frm.linkState().flags.online && frm.linkState().flags.configValid; }));
    const auto& image = frm.config().ConfigImage;
    EXPECT_TRUE(run([&] { return frm.state().LastValues[0] != 0; })) << "live engine speed arrives";

    // A write message goes out over the real port and the ECU echoes it into
    // the image (how a typed cell becomes one is the window tests').
    std::int16_t index = 5, wanted = image[5] == 77 ? 78 : 77;
    frm.WriteConfigByte('M', index, wanted);
    ASSERT_TRUE(run([&] { return image[5] == wanted; }));

    // The simulated ECU takes its port out of the settings as it ends.
    ecu.process->Signal(SIGTERM);
    EXPECT_EQ(ecu.process->Wait(5s), 0);
    EXPECT_EQ(settings.GetSetting("kavrin", "ports", "COM21", "<gone>"), "<gone>");
}

// Whether the program catches SIGTERM yet, as the kernel reports it.
bool CatchesTerminate(pid_t pid) {
    const std::string status = ReadWholeFile("/proc/" + std::to_string(pid) + "/status");
    const auto at = status.find("SigCgt:");
    if (at == std::string::npos) return false;
    const unsigned long long caught = std::stoull(status.substr(at + 7), nullptr, 16);
    return caught & (1ULL << (SIGTERM - 1));
}

// Port 199 has no simulated ECU: the start-up says so in a message box, still
// open when the signal comes.
TEST(EndToEnd, ProgramClosesCleanlyOnTerminateAndInterrupt) {
    for (auto [port, signal] : {std::pair{22, SIGTERM}, {23, SIGINT}, {199, SIGTERM}}) {
        std::optional<Simulator> ecu;
        if (port != 199) ecu.emplace(port);
        ASSERT_TRUE(!ecu || ecu->started);
        QtSettingsStore settings;
        settings.SaveSetting("kavrin", "main", "com", std::to_string(port));
        const std::string out = MakeTempDir() + "/kavrin.out";
        Program tool("kavrin", {}, out);
        const auto pid = static_cast<pid_t>(tool.process.processId());
        ASSERT_TRUE(WaitUntil([&] { return CatchesTerminate(pid); }, 20s)) << ReadWholeFile(out);
        if (ecu) {
            ASSERT_TRUE(WaitUntil([&] { return ecu->Logged("dump 215"); }, 20s));
            EXPECT_TRUE(ecu->Logged("R"));
            EXPECT_FALSE(ecu->Logged("S"));
        }
        tool.Signal(signal);
        EXPECT_EQ(tool.Wait(20s), 0) << ReadWholeFile(out);
        EXPECT_TRUE(!ecu || WaitUntil([&] { return ecu->Logged("S"); }, 5s));
    }
}

} // namespace
} // namespace kavrin::test
