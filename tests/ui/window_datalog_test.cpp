// SPDX-License-Identifier: GPL-3.0-or-later
// The datalog from the real window's "File" menu, with the serial side and the
// files faked: what reaches the file, the menu's check and the status panel.
#include "support/window_rig.h"

#include "config/efi_file.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>

#include <gtest/gtest.h>

#include <algorithm>

namespace kavrin::test {
namespace {

class WindowDatalogTest : public WindowRig {
protected:
    WindowDatalogTest() { chosen.choice = "/docs/run.csv"; }
    QAction* Log() const { return window->findChild<QAction*>("mnLog"); }
    void Frames(const std::vector<std::pair<char, int>>& frames) {
        for (auto [command, value] : frames)
            device.Feed(
                Frame(static_cast<std::uint8_t>(command), static_cast<std::uint16_t>(value)));
        Tick();
    }
    std::string Rows() {
        const std::string& f = files.files["/docs/run.csv"];
        return f.substr(f.find('\n') + 1);
    }
};

// Values are logged in engineering units while the window shows raw counts;
// the header carries the window's own names (here its language's entries). A
// full disk stops the log with a message, and the link goes on.
TEST_F(WindowDatalogTest, LogMenuStartsAndStopsARowPerEngineSpeedFrame) {
    Connect(std::vector<std::uint8_t>(214, 0));
    auto* panel = Find<QLabel>("barra_log");
    Answering([this] { Log()->trigger(); });
    EXPECT_NE(chosen.asked.find(" kavrin-2026-12-07-031500.csv "), std::string::npos);
    // The configuration of the moment, beside the log for its analysis.
    EXPECT_EQ(files.files["/docs/run.efi"], WriteEfiText(window->logic().config()));
    Frames({{'0', 1024}, {'1', 100}, {'@', 9}, {'0', 2048}});
    EXPECT_EQ(Rows(), ""); // rows reach the file once a second
    clock.Advance(1000);
    Tick();
    EXPECT_EQ(Find<QLabel>("lblvalor0")->text(), "2048");
    const std::string zeros = ",0,0,0,0,0,0,0,0,0,0,0,0,0,0";
    EXPECT_EQ(Rows(), "0.000,1000,0" + zeros + ",0,0,0,0,0,0\n0.000,2000,35.15625" + zeros +
                          ",1,0,0,1,0,0\n");
    EXPECT_TRUE(files.files["/docs/run.csv"].starts_with("T97,T15 (rpm),T16 (deg),"));
    EXPECT_NE(files.files["/docs/run.csv"].find(",T30,T35,T34,T36,T38,T37,T39\n"),
              std::string::npos);
    EXPECT_TRUE(Log()->isChecked() && panel->isVisible());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(panel)->text(QAccessible::Name),
              "T327(T96(run.csv,2))");

    // Stopping writes the rows of the last second and no more.
    Frames({{'0', 3072}});
    Answering([this] { Log()->trigger(); });
    Frames({{'0', 3072}});
    EXPECT_FALSE(Log()->isChecked() || panel->isVisible());
    EXPECT_EQ(std::ranges::count(Rows(), '\n'), 3);
    EXPECT_TRUE(said.empty());

    Answering([this] { Log()->trigger(); });
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

} // namespace
} // namespace kavrin::test
