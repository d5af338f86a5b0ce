// The tool against the simulated ECU over a real pseudo-terminal: first the
// window's logic with the real serial port, then the real program.
#include "app/frm_kavrin.h"
#include "base/qt_settings_store.h"
#include "serial/qt_serial_device.h"
#include "support/fake_main_view.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

namespace kavrin::test {
namespace {

using namespace std::chrono_literals;

// Every test of this program shares one settings folder of its own, set
// before anything reads the settings.
const std::string kConfigHome = [] {
    const std::string dir = MakeTempDir();
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    return dir;
}();

struct Simulator {
    explicit Simulator(int port, std::vector<std::string> extra = {}) : port(port) {
        const std::string dir = MakeTempDir();
        ready = dir + "/ready";
        log = dir + "/ecu.log";
        std::vector<std::string> args{
            "--port", std::to_string(port), "--ready-file", ready, "--log", log, "--seed", "7"};
        args.insert(args.end(), extra.begin(), extra.end());
        process = std::make_unique<Process>(
            BinDir() + "/kavrin-ecusim", args,
            std::map<std::string, std::string>{{"XDG_CONFIG_HOME", kConfigHome}}, dir + "/ecu.out");
        started = WaitUntil([&] { return !ReadWholeFile(ready).empty(); }, 10s);
    }
    std::string Log() const { return ReadWholeFile(log); }
    bool Logged(const std::string& line) const {
        return ("\n" + Log()).find("\n" + line + "\n") != std::string::npos;
    }
    int port;
    std::string ready, log;
    std::unique_ptr<Process> process;
    bool started = false;
};

std::vector<std::string> NoSystemDevices() {
    return {};
}

TEST(EndToEnd, WindowLogicTalksToTheSimulatedEcu) {
    Simulator ecu(21);
    ASSERT_TRUE(ecu.started) << "the simulated ECU did not start";

    QtSettingsStore settings;
    settings.SaveSetting("kavrin", "main", "com", "21");
    QtSerialDevice device;
    SettingsPortDirectory ports(settings, &NoSystemDevices);
    SteadyClock clock;
    DiskFileSystem files;
    FakeMainView fake;
    frmKAVRIN frm(fake.view, Platform{device, ports, clock, settings, files, BinDir()}, fake.chart);
    FakeMessageBoxes& messages = fake.messages;
    FakeConnectionPanel& connection = fake.connection;

    frm.Form_Load();
    ASSERT_TRUE(frm.port().portOpen());
    EXPECT_TRUE(messages.shown.empty());

    // Run the two timers by hand; each empty read of the port takes 10 ms.
    int ticks = 0;
    auto run = [&](const std::function<bool()>& done) {
        return WaitUntil(
            [&] {
                frm.tmrcom_Timer();
                if (++ticks % 20 == 0) frm.Timer2_Timer();
                return done();
            },
            15s);
    };
    ASSERT_TRUE(run([&] { return frm.linkState.flags.online && frm.linkState.flags.configValid; }));
    EXPECT_TRUE(ecu.Logged("G"));
    EXPECT_TRUE(ecu.Logged("R"));
    const auto& image = frm.config.ConfigImage;
    EXPECT_EQ(image[205], 20);
    EXPECT_EQ(image[206], 220);
    EXPECT_EQ(image[209], 100);
    EXPECT_EQ(connection.text, frm.texts.Text(74));
    EXPECT_TRUE(run([&] { return frm.LastValues[0] != 0; })) << "live engine speed arrives";
    EXPECT_NE(fake.lblvalor[0].text, "0");

    // A fuel cell typed in the table goes out as a write message; the image
    // and the cell change with the ECU's echo.
    const int before = image[5];
    const int wanted = before == 77 ? 78 : 77;
    fake.grd_fuel.ClickCell(1, 6);
    ASSERT_TRUE(fake.txtgrd_fuel.visible);
    fake.txtgrd_fuel.Type(std::to_string(wanted));
    fake.txtgrd_fuel.PressKey(13);
    EXPECT_EQ(image[5], before);
    ASSERT_TRUE(run([&] { return image[5] == wanted; }));
    EXPECT_TRUE(ecu.Logged("M 5 " + std::to_string(wanted)));
    EXPECT_EQ(fake.grd_fuel.TextMatrix(1, 6), std::to_string(wanted));

    // So does a parameter field when the user leaves it.
    fake.fields[0].text = " 90 %"; // compensation, byte 201
    frm.parameters().txtCompensation_Validate();
    ASSERT_TRUE(run([&] { return image[201] == 90; }));
    EXPECT_TRUE(ecu.Logged("M 201 90"));
    EXPECT_EQ(fake.fields[0].text, "90") << "the echo refreshes the field";

    // Silence: the link reconnects, then comes back online.
    const int timeouts = frm.linkState.counters.timeouts;
    ecu.process->Signal(SIGUSR1);
    ASSERT_TRUE(run([&] { return frm.linkState.counters.timeouts > timeouts; }));
    EXPECT_FALSE(frm.linkState.flags.online);
    ASSERT_TRUE(run([&] { return frm.linkState.flags.online; }));

    // Closing says goodbye.
    frm.Form_QueryUnload();
    frm.Form_Terminate();
    EXPECT_TRUE(WaitUntil([&] { return ecu.Logged("S"); }, 5s));

    ecu.process->Signal(SIGTERM);
    EXPECT_EQ(ecu.process->Wait(5s), 0);
    EXPECT_EQ(settings.GetSetting("kavrin", "ports", "COM21", "<gone>"), "<gone>");
}

void RunProgramAndStop(int port, int signal) {
    Simulator ecu(port);
    ASSERT_TRUE(ecu.started);
    QtSettingsStore settings;
    settings.SaveSetting("kavrin", "main", "com", std::to_string(port));
    const std::string out = MakeTempDir() + "/kavrin.out";
    Process tool(BinDir() + "/kavrin", {},
                 {{"XDG_CONFIG_HOME", kConfigHome}, {"QT_QPA_PLATFORM", "offscreen"}}, out);
    ASSERT_TRUE(WaitUntil([&] { return ecu.Log().find("dump") != std::string::npos; }, 20s))
        << ReadWholeFile(out);
    EXPECT_TRUE(ecu.Logged("R"));
    EXPECT_TRUE(ecu.Logged("G"));
    EXPECT_FALSE(ecu.Logged("S"));
    tool.Signal(signal);
    EXPECT_EQ(tool.Wait(20s), 0) << ReadWholeFile(out);
    EXPECT_TRUE(WaitUntil([&] { return ecu.Logged("S"); }, 5s));
}

TEST(EndToEnd, ProgramClosesCleanlyOnTerminate) {
    RunProgramAndStop(22, SIGTERM);
}

TEST(EndToEnd, ProgramClosesCleanlyOnInterrupt) {
    RunProgramAndStop(23, SIGINT);
}

} // namespace
} // namespace kavrin::test
