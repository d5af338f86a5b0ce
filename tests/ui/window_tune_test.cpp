// SPDX-License-Identifier: GPL-3.0-or-later
// Never lose a tune, on the real window: what the user changed while the ECU
// was away is reported before a dump replaces it, each choice puts exactly
// its bytes on the wire, undo writes back what a step wrote over, and a file
// is compared without changing anything.
#include "config/efi_file.h"
#include "support/window_rig.h"
#include "tune/config_snapshot.h"
#include "ui/difference_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace kavrin::test {
namespace {

class WindowTuneTest : public WindowRig {
protected:
    QTableWidget* Table() const { return Find<QTableWidget>("reportTable"); }
    bool ReportOpen() const { return Find<DifferenceDialog>("differenceReport")->isVisible(); }
    void Click(const char* button) { Find<QPushButton>(button)->click(); }
    std::uint8_t Image(int index) const { return window->logic().config().ConfigImage[index]; }
};

// An ignition cell typed offline, then the ECU connects: the report lists that
// cell, and each choice ends as it says.
TEST_F(WindowTuneTest, AnOfflineEditIsReportedAndEachChoiceEndsAsItSays) {
    enum Choice { SendMine, UseEcus, SaveMine };
    for (Choice choice : {SendMine, UseEcus, SaveMine}) {
        SCOPED_TRACE(choice);
        Start();
        TypeCell("grd_ign", 1, 4, "50");
        ASSERT_EQ(Image(168), 50);
        EXPECT_EQ(Find<QLabel>("barra_notInEcu")->text(), "T182 1");
        device.ClearWritten();
        device.Feed(Dump(Tune()));
        Tick(2);
        ASSERT_TRUE(ReportOpen());
        ASSERT_EQ(Table()->rowCount(), 1);
        EXPECT_EQ(Table()->item(0, 3)->text(), "50");
        EXPECT_EQ(Table()->item(0, 4)->text(), "28");
        EXPECT_TRUE(window->logic().linkState().flags.configValid);
        EXPECT_TRUE(WritesOnWire().empty()) << "nothing leaves before the choice";
        EXPECT_EQ(Image(167), 28) << "what is not in question is the ECU's";
        device.ClearWritten();

        switch (choice) {
        case SendMine:
            Click("reportSendMine");
            EXPECT_EQ(WritesOnWire(), Writes({{168, 50}}));
            EchoWrites();
            EXPECT_EQ(Image(168), 50);
            EXPECT_EQ(Find<QLabel>("barra_note")->text(), "T183 1 T184 1");
            EXPECT_FALSE(Find<QLabel>("barra_notInEcu")->isVisible());
            break;
        case UseEcus:
            Click("reportUseEcus");
            EXPECT_TRUE(WritesOnWire().empty());
            EXPECT_EQ(Image(168), 28);
            EXPECT_TRUE(Find<QLabel>("barra_note")->text().startsWith("T185 "));
            EXPECT_TRUE(Find<QLabel>("barra_note")->text().endsWith("-mine.efi"));
            break;
        case SaveMine:
            chosen.choice = "/work/mine.efi";
            Click("reportSaveMine");
            EXPECT_TRUE(files.files.contains("/work/mine.efi"));
            EXPECT_EQ(Image(168), 50);
            EXPECT_TRUE(WritesOnWire().empty());
            break;
        }
        EXPECT_EQ(ReportOpen(), choice == SaveMine) << "after saving, the user chooses";
    }
}

// The ECU changed a byte while the line was silent: the reconnect reports it.
TEST_F(WindowTuneTest, AReconnectToAChangedEcuIsReported) {
    Connect();
    EXPECT_FALSE(ReportOpen()) << "the first dump is taken silently";
    Tick(150); // silence: the port is opened again
    ASSERT_FALSE(window->logic().linkState().flags.online);
    auto changed = Tune();
    changed[170] = 99;
    device.Feed(Dump(changed));
    Tick(2);
    ASSERT_TRUE(ReportOpen());
    ASSERT_EQ(Table()->rowCount(), 1);
    EXPECT_EQ(Table()->item(0, 4)->text(), "99");
}

// Undo of a block fill online writes back exactly the bytes it wrote over,
// last first; redo writes the fill again.
TEST_F(WindowTuneTest, UndoAndRedoOfABlockFillOnlineWriteTheExactBytes) {
    Connect();
    TypeCell("grd_fuel", 0, 3, "9");
    std::vector<std::pair<int, int>> fill, before;
    for (int row = 1; row <= 11; ++row) fill.emplace_back((row - 1) * 15 + 2, 9);
    for (auto it = fill.rbegin(); it != fill.rend(); ++it)
        before.emplace_back(it->first, 40 + it->first);
    EXPECT_EQ(WritesOnWire(), Writes(fill));
    EchoWrites();

    ASSERT_FALSE(window->logic().tune().InStep());
    auto* undo = Find<QAction>("mnUndo");
    EXPECT_TRUE(undo->text().startsWith("T180 ")) << undo->text().toStdString();
    undo->trigger();
    EXPECT_EQ(WritesOnWire(), Writes(before));
    EchoWrites();
    EXPECT_EQ(Image(2), 42);
    Find<QAction>("mnRedo")->trigger();
    EXPECT_EQ(WritesOnWire(), Writes(fill));
}

// Compare with a file: a refused one changes nothing; a good one is reported,
// and the selected rows are taken as one step, written to the ECU online.
TEST_F(WindowTuneTest, CompareWithAFileAndTakeTheSelectedValues) {
    Connect();
    files.files["/work/bad.efi"] = "format=15x11\r\n;EFI\r\nx\r\n";
    chosen.choice = "/work/bad.efi";
    Trigger("mnCompare");
    EXPECT_EQ(said.size(), 1u);
    EXPECT_FALSE(ReportOpen());

    auto other = Tune();
    other[170] = 99;
    other[3] = 7;
    files.files["/work/other.efi"] =
        WriteEfiText(MakeConfiguration(ConfigDimensions::Start(), other));
    chosen.choice = "/work/other.efi";
    Find<QAction>("mnCompare")->trigger();
    ASSERT_TRUE(ReportOpen());
    ASSERT_EQ(Table()->rowCount(), 2);
    EXPECT_TRUE(WritesOnWire().empty());
    Table()->selectRow(1);
    Click("reportTakeSelected");
    EXPECT_EQ(WritesOnWire(), Writes({{170, 99}}));
    EXPECT_FALSE(ReportOpen());
}

// Closing with an offline edit neither saved nor in the ECU asks first, before
// "S": Cancel keeps everything as it was, "Close without saving" closes.
TEST_F(WindowTuneTest, UnsavedWorkIsNotClosedWithoutAQuestion) {
    Start();
    TypeCell("grd_ign", 1, 4, "50");
    device.ClearWritten();
    Find<QAction>("mnExit")->trigger();
    QCoreApplication::processEvents();
    auto* box = Find<QMessageBox>("unsavedBox");
    ASSERT_TRUE(box && box->isVisible());
    EXPECT_EQ(box->text(), "T192");
    box->button(QMessageBox::Cancel)->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(device.written.empty() && device.isOpen && window->isVisible());

    Trigger("mnExit"); // "Close without saving"
    EXPECT_EQ(device.WrittenText(), "S");
    EXPECT_FALSE(window->isVisible());
}

} // namespace
} // namespace kavrin::test
