// SPDX-License-Identifier: GPL-3.0-or-later
// Logs on the real window, the serial side and the files faked: the datalog
// from the "File" menu (what reaches the file, the menu's check and the status
// panel), and the log window on a log the datalog itself wrote (the cursor's
// values, a zoom step of the wheel, and "Apply selected" writing the chosen
// proposal and nothing else).
#include "support/window_rig.h"

#include "config/efi_file.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QWheelEvent>

#include <algorithm>

namespace kavrin::test {
namespace {

class LogWindowTest : public WindowRig {
protected:
    LogWindowTest() { chosen.choice = "/docs/run.csv"; }
    QAction* Log() const { return Find<QAction>("mnLog"); }
    void Frames(const std::vector<std::pair<std::uint8_t, std::uint16_t>>& frames) {
        for (auto [command, value] : frames) device.Feed(Frame(command, value));
        Tick();
    }
    std::string Rows() {
        const std::string& f = files.files["/docs/run.csv"];
        return f.substr(f.find('\n') + 1);
    }
    // Five seconds at 3000 rpm, half throttle, warm, running rich at 13.0.
    void WriteLog(const std::string& path) {
        FakeClock logClock;
        Datalog log(logClock);
        ASSERT_TRUE(log.Start(files.CreateStream(path), path, DatalogHeader{}));
        std::array<float, kMeasuredChannels> values{};
        values[kRpmChannel] = 3000;
        values[kThrottleChannel] = 50;
        values[kEngineTempChannel] = 90;
        values[kLambdaChannel] = 13.0f;
        for (int i = 0; i < 100; ++i) {
            logClock.Advance(50);
            log.Tick();
            values[1] = static_cast<float>(i);
            log.AddRow(values, i == 40 ? kPulseBit : 0);
        }
        ASSERT_TRUE(log.Stop());
    }
    LogWindow* Open() {
        WriteLog("/docs/run.csv");
        LogWindow* log = window->OpenLog("/docs/run.csv");
        log->findChild<QTimer*>("logLoad")->stop();
        while (!log->StepLoad()) {
        }
        return log;
    }
};

// Values are logged in engineering units while the window shows raw counts
// (the row's form is the datalog's own); the header carries the window's own
// names (here its language's entries). A full disk stops the log with a
// message, and the link goes on.
TEST_F(LogWindowTest, LogMenuStartsAndStopsARowPerEngineSpeedFrame) {
    Connect(std::vector<std::uint8_t>(214, 0));
    auto* panel = Find<QLabel>("barra_log");
    Trigger("mnLog");
    EXPECT_NE(chosen.asked.find(" kavrin-2026-12-07-031500.csv "), std::string::npos);
    // The configuration of the moment, beside the log for its analysis.
    EXPECT_EQ(files.files["/docs/run.efi"], WriteEfiText(window->logic().config()));
    Frames({{'0', 1024}, {'1', 100}, {'@', 9}, {'0', 2048}});
    EXPECT_EQ(Rows(), ""); // rows reach the file once a second
    clock.Advance(1000);
    Tick();
    EXPECT_EQ(Find<QLabel>("lblvalor0")->text(), "2048");
    EXPECT_NE(Rows().find("\n0.000,2000,35.15625,"), std::string::npos);
    EXPECT_TRUE(Rows().ends_with(",1,0,0,1,0,0\n")) << "the status bits";
    EXPECT_TRUE(files.files["/docs/run.csv"].starts_with("T97,T15 (rpm),T16 (deg),"));
    EXPECT_NE(files.files["/docs/run.csv"].find(",T30,T35,T34,T36,T38,T37,T39\n"),
              std::string::npos);
    EXPECT_TRUE(Log()->isChecked() && panel->isVisible());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(panel)->text(QAccessible::Name),
              "T327(T96(run.csv,2))");

    // Stopping writes the rows of the last second and no more.
    Frames({{'0', 3072}});
    Trigger("mnLog");
    Frames({{'0', 3072}});
    EXPECT_FALSE(Log()->isChecked() || panel->isVisible());
    EXPECT_EQ(std::ranges::count(Rows(), '\n'), 3);
    EXPECT_TRUE(said.empty());

    Trigger("mnLog");
    files.failWrites = true;
    Frames({{'0', 1024}});
    clock.Advance(1000);
    Answering([this] { Tick(); });
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("no space left on device"), std::string::npos) << said[0];
    EXPECT_FALSE(Log()->isChecked() || panel->isVisible());
    Frames({{'0', 3072}});
    EXPECT_EQ(Find<QLabel>("lblvalor0")->text(), "3072");
    EXPECT_TRUE(window->logic().linkState().flags.online);
}

TEST_F(LogWindowTest, CursorReadsTheRowOfItsMomentAndTheWheelZoomsAboutThePointer) {
    Start();
    LogWindow* log = Open();
    ASSERT_TRUE(log->Loaded()) << log->Note().toStdString();
    TraceView& traces = log->traces();
    traces.resize(1000, 300);
    traces.SetCursorMs(2050); // the row of 2.05 s is the 41st
    EXPECT_EQ(log->ValueText(1), "40.0");
    EXPECT_EQ(log->ValueText(kMeasuredChannels + 3), "1");
    EXPECT_EQ(log->MarkedCell().second, 3); // 3000 rpm: column 3
    const double from = traces.FromMs(), to = traces.ToMs();
    QWheelEvent wheel(QPointF(500, 150), QPointF(500, 150), {}, QPoint(0, 120), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&traces, &wheel);
    EXPECT_NEAR(traces.ToMs() - traces.FromMs(), (to - from) * 0.8, 1e-6);
    EXPECT_NEAR(traces.TimeAtX(500), from + (to - from) / 2, 1e-6);
}

TEST_F(LogWindowTest, ApplySelectedWritesTheChosenCellsAndNothingElse) {
    Connect(std::vector<std::uint8_t>(214, 100));
    LogWindow* log = Open();
    MixturePanel& panel = log->mixture();
    ASSERT_EQ(panel.result().Proposals(), 1)
        << panel.findChild<QLabel*>("mixtureSummary")->text().toStdString();
    const auto& cells = panel.result().cells;
    const auto cell =
        std::find_if(cells.begin(), cells.end(), [](const CellMixture& c) { return c.proposed; });
    const int index = static_cast<int>(cell - cells.begin());
    EXPECT_LT(cell->proposedByte, 100); // rich: less fuel
    device.ClearWritten();
    panel.findChild<QPushButton*>("applySelected")->click();
    EXPECT_TRUE(device.written.empty()) << "nothing is written without a chosen cell";
    panel.proposal()->item(index / 15, index % 15)->setSelected(true);
    panel.findChild<QPushButton*>("applySelected")->click();
    EXPECT_EQ(device.written, Writes({{index, cell->proposedByte}}));
    // One step of the history: undo writes the cell's byte back.
    device.ClearWritten();
    window->findChild<QAction*>("mnUndo")->trigger();
    EXPECT_EQ(device.written, Writes({{index, 100}}));
}

} // namespace
} // namespace kavrin::test
