// The datalog from the real window's "File" menu, with the serial side and the
// files faked: what reaches the file, the menu's check and the status panel.
#include "support/window_rig.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>

#include <gtest/gtest.h>

#include <algorithm>

namespace kavrin::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct LogDialogs final : FileDialogs {
    std::optional<std::string> ChooseOpenFile(const std::string&) override { return openChoice; }
    std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseLogFile(const std::string&,
                                             const std::string& proposed) override {
        proposals.push_back(proposed);
        return "/docs/run.csv";
    }
    std::optional<std::string> openChoice;
    std::vector<std::string> proposals;
};

class WindowDatalogTest : public WindowRig {
protected:
    WindowDatalogTest() { dialogs = &chosen; }
    QAction* Log() const { return window->findChild<QAction*>("mnLog"); }
    QLabel* Panel() const { return Find<QLabel>("barra_log"); }
    void ClickLog() {
        Answering([this] { Log()->trigger(); });
    }
    std::string Rows() const {
        const std::string& f = files.files.at("/docs/run.csv");
        return f.substr(f.find('\n') + 1);
    }
    long RowLines() const {
        const std::string rows = Rows();
        return std::count(rows.begin(), rows.end(), '\n');
    }
    void Frames(const std::vector<std::pair<char, int>>& frames) {
        for (auto [command, value] : frames)
            device.Feed(
                Frame(static_cast<std::uint8_t>(command), static_cast<std::uint16_t>(value)));
        Tick();
    }
    LogDialogs chosen;
};

// The values are logged in engineering units while the window shows raw counts;
// the header carries the window's own names (here the language's entries).
TEST_F(WindowDatalogTest, LogMenuStartsAndStopsARowPerEngineSpeedFrame) {
    Connect(Bytes(214, 0));
    ClickLog();
    EXPECT_EQ(chosen.proposals, std::vector<std::string>{"kavrin-2026-12-07-031500.csv"});
    EXPECT_TRUE(Log()->isChecked());
    EXPECT_TRUE(Panel()->isVisible());
    Frames({{'0', 1024}, {'1', 100}, {'@', 9}, {'0', 2048}});
    clock.Advance(1000);
    Tick();
    EXPECT_EQ(Find<QLabel>("lblvalor0")->text(), "2048");
    const std::string zeros14 = ",0,0,0,0,0,0,0,0,0,0,0,0,0,0";
    EXPECT_EQ(Rows(), "0.000,1000,0" + zeros14 + ",0,0,0,0,0,0\n" + "0.000,2000,35.15625" +
                          zeros14 + ",1,0,0,1,0,0\n");
    const std::string& file = files.files["/docs/run.csv"];
    EXPECT_TRUE(file.starts_with("Time (s),T15 (rpm),T16 (deg),T17 (ms),")) << file;
    EXPECT_TRUE(file.find(",T30,T35,T34,T36,T38,T37,T39\n") != std::string::npos) << file;
    EXPECT_EQ(Panel()->text(), "Log: run.csv, 2 rows");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Panel())->text(QAccessible::Name),
              "Status bar, datalog: Log: run.csv, 2 rows");

    ClickLog();
    Frames({{'0', 3072}});
    EXPECT_FALSE(Log()->isChecked());
    EXPECT_FALSE(Panel()->isVisible());
    EXPECT_EQ(RowLines(), 2);
    EXPECT_TRUE(said.empty());
}

// A full disk stops the log with a message; the link and the live view go on.
TEST_F(WindowDatalogTest, AFailingDiskStopsTheLogButNotTheLink) {
    Connect(Bytes(214, 0));
    ClickLog();
    files.failWrites = true;
    Frames({{'0', 1024}});
    clock.Advance(1000);
    Answering([this] { Tick(); });
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("no space left on device"), std::string::npos) << said[0];
    EXPECT_FALSE(Log()->isChecked());
    EXPECT_FALSE(Panel()->isVisible());
    Frames({{'0', 3072}});
    EXPECT_EQ(Find<QLabel>("lblvalor0")->text(), "3072");
    EXPECT_TRUE(window->logic().linkState().flags.online);
    EXPECT_EQ(said.size(), 1u);
}

// Opening another configuration and closing the window end the log with its
// last rows written.
TEST_F(WindowDatalogTest, OpeningAFileAndClosingTheWindowEndTheLogCleanly) {
    Connect(Bytes(214, 0));
    ASSERT_TRUE(window->logic().WriteEfiFile("/docs/tune.efi"));
    chosen.openChoice = "/docs/tune.efi";
    for (bool close : {false, true}) {
        ClickLog();
        Frames({{'0', 1024}});
        EXPECT_EQ(Rows(), "");
        if (close)
            window->close();
        else
            Answering([this] { window->findChild<QAction*>("mnOpen")->trigger(); });
        EXPECT_FALSE(Log()->isChecked());
        EXPECT_EQ(RowLines(), 1) << close;
    }
    EXPECT_TRUE(said.empty());
}

} // namespace
} // namespace kavrin::test
