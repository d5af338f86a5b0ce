// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window on the offscreen platform with the serial side faked:
// what the user does with mouse and keys, and the bytes that reach the wire.
#include "support/window_rig.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabBar>

namespace kavrin::test {
namespace {

class MainWindowTest : public WindowRig {
protected:
    QLineEdit* Field(const char* name) const { return Find<QLineEdit>(name); }
    // Clicks into a field and replaces its text as a user would.
    void TypeInto(const char* name, const char* text) {
        QTest::mouseClick(Field(name), Qt::LeftButton);
        Field(name)->selectAll();
        QTest::keyClicks(Field(name), text);
    }
    void ClickTab(int index) {
        auto* bar = Find<QTabBar>("tab1");
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    // Runs what was posted meanwhile (the Tab an Enter sends).
    static void Settle() { QCoreApplication::processEvents(); }
};

constexpr int kParamBase = 201;

// About changes nothing; Escape says goodbye and closes (Exit, after its
// question, is tried in the tune test), but Escape in a box is the box's. The
// port start-up opens is the settings table's (window files test).
TEST_F(MainWindowTest, AboutAndTheWaysToClose) {
    Start();
    device.ClearWritten();
    Trigger("mnAbout");
    EXPECT_EQ(said.size(), 1u);
    EXPECT_TRUE(device.written.empty() && window->isVisible());
    Find<QTabBar>("tab1")->setFocus();
    QTest::keyClick(Find<QTabBar>("tab1"), Qt::Key_Escape);
    EXPECT_EQ(device.WrittenText(), "S");
    EXPECT_FALSE(device.isOpen);
    EXPECT_FALSE(window->isVisible());
    Connect();
    auto* box = Find<QtEditBox>("txtgrd_fuel");
    ClickCell("grd_fuel", 1, 1);
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(device.written.empty());
}

TEST_F(MainWindowTest, LiveFramesShowValuesAndMoveTheMarkersAndTheTintUnlessABlockIsSelected) {
    Connect();
    auto* fuel = Find<QtGridControl>("grd_fuel");
    const QColor tint(255, 208, 208);
    device.Feed(Frame('0', 3072)); // 3000 rpm
    device.Feed(Frame('5', 121));  // half the throttle span above THR MIN 20
    device.Feed(Frame('@', 9));
    Tick(2);
    EXPECT_EQ(Find<QLabel>("lblCranking")->palette().color(QPalette::Window), QColor(0, 0, 255));
    EXPECT_EQ(fuel->ShownBackground(7, 3), tint);
    auto* p = Find("p");
    EXPECT_TRUE(p->isVisible());
    const QRect cell(fuel->viewport()->mapTo(window.get(), fuel->CellRect(7, 3).topLeft()),
                     fuel->CellRect(7, 3).size());
    EXPECT_TRUE(cell.adjusted(-p->width(), -p->height(), 0, 0)
                    .contains(p->mapTo(window.get(), QPoint(0, 0))))
        << "the marker stands over the live cell";

    // A block selected in the fuel map holds the tint where it is; the
    // markers keep moving.
    QTest::mousePress(fuel->viewport(), Qt::LeftButton, {}, fuel->CellRect(1, 1).center());
    QTest::mouseMove(fuel->viewport(), fuel->CellRect(2, 2).center());
    QTest::mouseRelease(fuel->viewport(), Qt::LeftButton, {}, fuel->CellRect(2, 2).center());
    QTest::keyClick(Find<QtEditBox>("txtgrd_fuel"), Qt::Key_Escape);
    const QPoint before = p->pos();
    device.Feed(Frame('0', 5120));
    Tick(2);
    EXPECT_EQ(fuel->ShownBackground(7, 3), tint);
    EXPECT_NE(fuel->ShownBackground(7, 5), tint);
    EXPECT_GT(p->pos().x(), before.x());
    EXPECT_EQ(fuel->RowSel(), 2);
}

// Counts the times a widget is painted.
struct Paints final : QObject {
    explicit Paints(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint;
        return false;
    }
    int count = 0;
};

// Frames change the values at once and the screen once a tick, with the last
// of them; an operating point that stays where it is (with the user in the
// map) and a refresh of the image that changes no value paint no table.
TEST_F(MainWindowTest, EachTickPaintsTheLastValuesOnceAndNothingThatStayed) {
    Connect();
    auto* fuel = Find<QtGridControl>("grd_fuel");
    fuel->setFocus();
    device.Feed(Frame('0', 3072));
    device.Feed(Frame('1', 90));
    Tick(2);
    Settle();
    ASSERT_TRUE(fuel->hasFocus());
    auto* ign = Find<QLabel>("lblvalor1");
    Paints ignPaints(ign), fuelPaints(fuel->viewport());
    for (std::int32_t value : {100, 110}) window->logic().ShowChannel(1, value);
    EXPECT_EQ(window->logic().state().LastValues[1], 110);
    EXPECT_EQ(ign->text(), "90") << "the frames wait for the tick";
    device.Feed(Frame('1', 120));
    Tick();
    Settle();
    EXPECT_EQ(ign->text(), "120");
    EXPECT_EQ(ignPaints.count, 1);
    window->logic().ShowConfig();
    device.Feed(Frame('1', 120));
    Tick(3);
    Settle();
    EXPECT_EQ(ignPaints.count, 1);
    EXPECT_EQ(fuelPaints.count, 0);
}

// A missing language file at start is the settings table's (window files test).
TEST_F(MainWindowTest, AMissingPortIsSaidOnceAtStart) {
    device.missing = {"fake:1"};
    Start();
    EXPECT_EQ(said, std::vector<std::string>{"COM1 T71\n\nT143(fake:1) T128(COM1)"});
    Tick(250);
    EXPECT_EQ(said.size(), 1u) << "later retries are quiet";
    EXPECT_EQ(window->logic().linkState().counters.timeouts, 2);
}

TEST_F(MainWindowTest, DumpFillsTablesFieldsAndOptionsAndTheDisplayModeSwitchesThem) {
    Connect();
    auto* fuel = Find<QtGridControl>("grd_fuel");
    auto* ign = Find<QtGridControl>("grd_ign");
    EXPECT_EQ(fuel->TextMatrix(1, 1), "40");
    EXPECT_EQ(fuel->TextMatrix(11, 15), "204");
    EXPECT_EQ(fuel->TextMatrix(0, 3), "3000");
    EXPECT_EQ(fuel->TextMatrix(2, 0), "32"); // raw throttle header with THR MIN 20
    EXPECT_EQ(ign->TextMatrix(1, 1), "28");
    EXPECT_EQ(Field("txtTHRmin")->text() + " " + Field("txtTHRmax")->text(), "20 220");
    EXPECT_EQ(Find<QLabel>("lblFuelMap")->text(), "T67 1 (raw)");
    EXPECT_TRUE(device.written.empty()) << "filling the controls wrote nothing back";

    Trigger("mnMode1");
    EXPECT_EQ(fuel->TextMatrix(1, 1), "3.20");
    EXPECT_EQ(ign->TextMatrix(1, 1), "9.8");
    EXPECT_EQ(Find<QLabel>("lblFuelMap")->text(), "T67 1 (ms)");
}

TEST_F(MainWindowTest, FieldValueTypedBeforeATabStripClickIsWrittenOnceAndNeverStale) {
    Connect();
    TypeInto("txtCompensation", "90");
    ClickTab(1);
    EXPECT_EQ(device.written, Writes({{kParamBase, 90}}));

    // The refresh the click ran is not the user's text: leaving writes nothing.
    QTest::mouseClick(Field("txtPump"), Qt::LeftButton);
    Settle();
    EXPECT_EQ(device.written, Writes({{kParamBase, 90}}));
    EchoWrites();
    EXPECT_EQ(Field("txtCompensation")->text(), "90");

    // Typing interrupted by a refresh (an echo of another write): the field
    // shows the ECU's value again, and leaving it writes nothing.
    device.ClearWritten();
    TypeInto("txtPump", "50");
    device.Feed(Frame('M', 40 << 8 | 0));
    Tick();
    QTest::mouseClick(Field("txtDwell"), Qt::LeftButton);
    Settle();
    EXPECT_TRUE(device.written.empty());
}

TEST_F(MainWindowTest, PlusAndMinusTypeIntoFieldsAndStepTheLiveCellElsewhere) {
    Connect();
    TypeInto("txtMainAngle", "-5"); // the minus typed: -5 degrees written as 0
    QTest::keyClick(Field("txtMainAngle"), Qt::Key_Return);
    Settle();
    EXPECT_EQ(device.written, Writes({{kParamBase + 1, 0}})) << "no fuel cell was stepped";

    device.ClearWritten();
    TypeInto("txtEscala0", "1e-3");
    QTest::keyClicks(Field("txtEscala0"), "+=_");
    EXPECT_EQ(Field("txtEscala0")->text(), "1e-3+=_");
    EXPECT_TRUE(device.written.empty());

    // Over the tab strip the same keys step the fuel cell the engine runs at,
    // cell (1, 1) before any live frame.
    auto* bar = Find<QTabBar>("tab1");
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(bar, Qt::Key_Minus);
    EXPECT_EQ(device.written, Writes({{0, 41}, {0, 39}}));
}

TEST_F(MainWindowTest, ReturningFromAnotherProgramLeavesAnOpenBoxAndItsText) {
    Connect();
    auto* box = Find<QtEditBox>("txtgrd_fuel");
    ClickCell("grd_fuel", 2, 3);
    ASSERT_TRUE(box->isVisible());
    QTest::keyClicks(box, "7");

    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(window.get());
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), "7");
    EXPECT_TRUE(device.written.empty());

    // Coming back from one of the program's own windows closes the box.
    QWidget own;
    own.show();
    QApplication::setActiveWindow(&own);
    QApplication::setActiveWindow(window.get());
    EXPECT_FALSE(box->isVisible());
}

TEST_F(MainWindowTest, TheTabStripSwitchesTablesAndTitlesWhateverSelectsTheTab) {
    Connect();
    auto* bar = Find<QTabBar>("tab1");
    const auto compensationsShown = [&](bool shown) {
        EXPECT_EQ(Find("grd_fuel")->isVisible(), !shown);
        EXPECT_EQ(Find("grd_ign")->isVisible(), !shown);
        EXPECT_EQ(Find("lblIgnitionMap")->isVisible(), !shown);
        EXPECT_EQ(Find("grd3")->isVisible(), shown);
        EXPECT_EQ(Find("grd4")->isVisible(), shown);
        EXPECT_EQ(Find("lblAirComp")->isVisible(), shown);
        // Never switched: the fuel map covers it on the map tab.
        EXPECT_TRUE(Find("lblEngComp")->isVisible());
    };
    compensationsShown(false);
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Right);
    compensationsShown(true);
    EXPECT_EQ(Find<QLabel>("lblFuelMap")->text(), "COMPENSATION vs ENG.TEMP");
    bar->setCurrentIndex(0); // as a screen reader's press does
    compensationsShown(false);
    EXPECT_EQ(Find<QLabel>("lblIgnitionMap")->text(), "IGNITION MAP 1");
    ClickTab(1);
    compensationsShown(true);
}

TEST_F(MainWindowTest, EnterMovesToTheNextFieldOnceAndOnlyAChangedFieldWrites) {
    Connect();
    const char* order[] = {"txtCompensation", "txtMainAngle", "txtEFI_angle", "txtPump",
                           "txtTHRmin",       "txtTHRmax",    "txtCorte",     "txtFactor",
                           "txtOffset",       "txtPriming",   "txtDwell"};
    TypeInto(order[0], "90");
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        Settle();
        EXPECT_EQ(QApplication::focusWidget(), Field(order[i + 1])) << "after " << order[i];
    }
    EXPECT_EQ(device.written, Writes({{kParamBase, 90}}));
    EXPECT_TRUE(window->findChildren<QMessageBox*>().isEmpty())
        << "passing the EFI factor raised the rescale question";
}

// A column header's fill is written out in the tune test, undone and redone.
TEST_F(MainWindowTest, ARowHeaderClickFillsExactlyItsRow) {
    Connect();
    TypeCell("grd_fuel", 5, 0, "8");
    std::vector<std::pair<int, int>> row;
    for (int col = 1; col <= 15; ++col) row.emplace_back(4 * 15 + col - 1, 8);
    EXPECT_EQ(device.written, Writes(row));
}

TEST_F(MainWindowTest, FuelCellTypedOnlineGoesOutAndComesBackWithTheEcho) {
    Connect();
    window->logic().mnMode_Click(1);
    auto* fuel = Find<QtGridControl>("grd_fuel");
    auto* box = Find<QtEditBox>("txtgrd_fuel");
    ClickCell("grd_fuel", 1, 1);
    EXPECT_EQ(box->text(), "3.20");
    box->selectAll();
    QTest::keyClicks(box, "2,05");
    QTest::keyClick(box, Qt::Key_Return);
    // 2.05 ms at 0.08 ms per step is byte 26 (25.625 rounded).
    EXPECT_EQ(device.written, Writes({{0, 26}}));
    EXPECT_EQ(window->logic().config().ConfigImage[0], 40)
        << "online, the image waits for the echo";
    EXPECT_EQ(fuel->Col(), 2) << "the editor moved on";
    EchoWrites();
    EXPECT_EQ(fuel->TextMatrix(1, 1), "2.08");
}

} // namespace
} // namespace kavrin::test
