// SPDX-License-Identifier: GPL-3.0-or-later
// The real window on the offscreen platform: remembered choices, the Language
// menu, ".efi" files, the "Comm" menu and what
// accessibility tools read.
#include "support/window_rig.h"
#include "ui/qt_window_parts.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>

namespace kavrin::test {
namespace {

class WindowTest : public WindowRig {
protected:
    WindowTest() { languageFolders = {"/share", "/home"}; }
    QCheckBox* Chk(int n) const { return Find<QCheckBox>(QStringLiteral("chk%1").arg(n)); }
    QLineEdit* Scale(int n) const { return Find<QLineEdit>(QStringLiteral("txtEscala%1").arg(n)); }
    std::string Title(int menu) const {
        return window->menuBar()->actions().at(menu)->text().toStdString();
    }
    std::string Tab0() const { return Find<QTabWidget>("tab0")->tabText(0).toStdString(); }
    // The Language menu's entries, the checked one marked.
    std::string Languages() const {
        std::string entries;
        for (QAction* a : window->menuBar()->actions().at(4)->menu()->actions())
            entries += (a->isChecked() ? "*" : "") + a->text().toStdString() + " ";
        return entries;
    }
    std::string Caption() const { return window->windowTitle().toStdString(); }
};

TEST_F(WindowTest, ChannelScaleAndFormatChoicesSurviveARestart) {
    Start();
    Chk(4)->click();
    Scale(4)->setText("2,5");
    emit Scale(4)->editingFinished();
    EXPECT_EQ(Scale(4)->text(), "2.5");
    Scale(7)->setText("abc");
    emit Scale(7)->editingFinished();
    Trigger("mnMode1");
    const auto name = std::find(settings.saves.begin(), settings.saves.end(),
                                MemorySettingsStore::Key{"kavrin", "channels", "name_4"});
    ASSERT_NE(name, settings.saves.end());
    EXPECT_EQ(std::get<2>(*(name + 1)), "activate_4") << "the name goes just before the state";

    Start();
    EXPECT_TRUE(Chk(4)->isChecked());
    EXPECT_FALSE(Chk(3)->isChecked());
    EXPECT_EQ(Scale(4)->text(), "2.5");
    EXPECT_EQ(Scale(7)->text(), "abc") << "a scale is kept as typed";
    EXPECT_TRUE(Find<QAction>("mnMode1")->isChecked());
}

// The first run shows the defaults and stores only the port; a damaged value
// is limited to what the window can show.
TEST_F(WindowTest, DefaultsAndDamagedValuesAreLimitedToWhatTheWindowCanShow) {
    // What the window shows: data format, channel 2 plotted, port, boxes said.
    const auto shown = [this] {
        return std::string(Find<QAction>("mnMode1")->isChecked() ? "formatted" : "raw") +
               (Chk(2)->isChecked() ? " chk2 " : " - ") + device.openName + " " +
               std::to_string(said.size());
    };
    Start();
    EXPECT_EQ(shown(), "raw - fake:1 0");
    EXPECT_EQ(settings.saves.size(), 1u) << "the store is never filled in advance";
    const char* cases[][4] = {
        {"main", "raw_mode", "7", "formatted - fake:1 0"},
        {"main", "raw_mode", "-3", "raw - fake:1 0"},
        {"channels", "activate_2", "5", "raw chk2 fake:1 0"},
        {"main", "com", "-4", "raw - fake:1 0"},
        {"main", "com", "70000", "raw - fake:255 0"},
        {"main", "language", "", "raw - fake:1 1"},
    };
    for (const auto& c : cases) {
        settings.values.clear();
        said.clear();
        settings.SaveSetting("kavrin", c[0], c[1], c[2]);
        Start();
        EXPECT_EQ(shown(), c[3]) << c[1] << "=" << c[2];
    }
}

TEST_F(WindowTest, AStoreThatCannotRememberIsSaidOnceAndTheToolWorksOn) {
    settings.canRemember = false;
    Start();
    Chk(1)->click();
    Trigger("mnMode1");
    EXPECT_EQ(said, std::vector<std::string>{"T107"});
    EXPECT_TRUE(Find<QAction>("mnMode1")->isChecked());
}

// Each language once, from all folders; an entry a file lacks comes from
// English; the Cyrillic file switched to and back.
TEST_F(WindowTest, LanguageMenuListsEachLanguageOnceAndSwitchesTheTexts) {
    files.files["/prog/Russian.lan"] = ShippedLanguageFile("Russian");
    files.files["/share/English.lan"] = "1;Shadowed\r\n";
    files.files["/share/Deutsch.lan"] = "1;Datei\r\n";
    files.files["/home/Mine.lan"] = "1;Mine\r\n";
    settings.SaveSetting("kavrin", "main", "language", "Deutsch");
    Start();
    EXPECT_EQ(Languages(), "English Russian *Deutsch Mine ");
    EXPECT_EQ(Title(0) + " " + Tab0(), "Datei T13");
    Trigger("mnlan1");
    EXPECT_EQ(Languages(), "English *Russian Deutsch Mine ");
    EXPECT_EQ(Title(0), "Файл");
    EXPECT_EQ(Tab0(), "Каналы I");
    EXPECT_TRUE(Find<QLabel>("lblFuelMap")->text().startsWith("КАРТА ВПРЫСКА"));
    Trigger("mnlan0");
    EXPECT_EQ(Title(0) + " " + Tab0(), "T1 T13");
    EXPECT_TRUE(said.empty());

    // A file deleted after the menu was built keeps the old texts.
    files.files.erase("/home/Mine.lan");
    Trigger("mnlan3");
    EXPECT_EQ(said, (std::vector<std::string>{"file: MINE.LAN not found!"}));
    EXPECT_EQ(Title(0), "T1");
    EXPECT_EQ(settings.Get("main", "language"), "Mine") << "the choice is stored all the same";
}

TEST_F(WindowTest, EfiFileSavedAndOpenedOnlineSendsEveryByteOnce) {
    std::vector<std::uint8_t> image(214); // each byte a value of its own
    for (int i = 0; i < 214; ++i) image[std::size_t(i)] = std::uint8_t(i * 3 + 1);
    Connect(image);
    Trigger("mnOpen"); // a cancelled dialog does nothing
    chosen.choice = "";
    Trigger("mnSave");
    EXPECT_EQ(files.files.count(""), 0u);
    chosen.choice = "/work/tune.efi";
    Trigger("mnSave");
    EXPECT_EQ(Caption(), "/work/tune.efi");
    EXPECT_EQ(files.files["/work/tune.efi"].substr(0, 24), "format=15x11\r\nsize=214\r\n");
    ASSERT_TRUE(device.written.empty());

    Trigger("mnOpen");
    EXPECT_EQ(chosen.asked, "T75 T76 KAVRIN 053 T76 KAVRIN 053 T75 ");
    std::vector<std::pair<int, int>> every;
    for (int i = 0; i < 214; ++i) every.emplace_back(i, image[std::size_t(i)]);
    EXPECT_EQ(device.written, Writes(every));
    EXPECT_TRUE(said.empty());
}

// Offline a file fills the tables alone; a refused file (why is the reader's)
// and a failed save change nothing and say so.
TEST_F(WindowTest, OfflineAnEfiFileFillsTheTablesAndARefusalOrAFailedSaveIsSaid) {
    const std::string old = "format=15x11\r\nsize=214\r\n;EFI\r\n 40 , 41 \r\n";
    Start();
    device.ClearWritten();
    files.files["/work/t.efi"] = old;
    chosen.choice = "/work/t.efi";
    Trigger("mnOpen");
    EXPECT_EQ(Find<QtGridControl>("grd_fuel")->TextMatrix(1, 2), "41");
    EXPECT_EQ(Caption(), "/work/t.efi");

    files.files["/work/bad.efi"] = "format=15x11\r\nsize=214\r\n;EFI\r\n1,2,300\r\n";
    chosen.choice = "/work/bad.efi";
    Trigger("mnOpen");
    EXPECT_EQ(Find<QtGridControl>("grd_fuel")->TextMatrix(1, 1), "40");
    EXPECT_EQ(Caption(), "/work/t.efi");
    files.readOnly = true;
    chosen.choice = "/work/t.efi";
    Trigger("mnSave");
    EXPECT_EQ(files.files["/work/t.efi"], old);
    EXPECT_EQ(said, (std::vector<std::string>{"/work/bad.efi\nT99(4,T125(300))\nT100",
                                              "/work/t.efi\nT101(T114)\nT102"}));
    EXPECT_TRUE(device.written.empty());
}

TEST_F(WindowTest, CommMenuChecksTheOpenPortAndAGonePortShowsTheMessage) {
    ports.ports = {"COM1", "COM3", std::string("COM7\0", 5)};
    settings.SaveSetting("kavrin", "main", "com", "3");
    Start();
    const auto checkedItems = [this] {
        std::string items;
        for (int k = 1; k <= 3; ++k)
            items += Find<QAction>(QStringLiteral("mncom%1").arg(k))->isChecked() ? '1' : '0';
        return items;
    };
    EXPECT_EQ(Find<QAction>("mncom3")->text(), "COM7");
    EXPECT_EQ(checkedItems(), "010");
    Trigger("mncom1");
    EXPECT_EQ(checkedItems(), "100");
    EXPECT_EQ(settings.Get("main", "com"), "1");

    device.missing.insert("fake:7");
    Trigger("mncom3");
    EXPECT_EQ(said, (std::vector<std::string>{"COM7 T71\n\nT143(fake:7) T128(COM1, COM3, COM7)"}));
    EXPECT_EQ(checkedItems(), "000");

    ports.ports = {}; // no listed port keeps the first item
    Start();
    EXPECT_EQ(Find<QAction>("mncom1")->text(), "com1");
    EXPECT_TRUE(Find<QAction>("mncom1")->isChecked());
}

QAccessibleInterface* Reader(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

TEST_F(WindowTest, ToolsReadTablesFieldsValuesIndicatorsAndTheChart) {
    Start();
    window->logic().ShowChannel(0, 1024);
    Tick();
    auto* fuel = Reader(Find("grd_fuel"));
    EXPECT_EQ(fuel->role(), QAccessible::Table);
    EXPECT_EQ(fuel->text(QAccessible::Name), "T300");
    QAccessibleTableInterface* table = fuel->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(QSize(table->columnCount(), table->rowCount()), QSize(15, 11));
    QAccessibleTableCellInterface* cell = table->cellAt(0, 0)->tableCellInterface();
    ASSERT_EQ(cell->columnHeaderCells().size(), 1);
    EXPECT_EQ(cell->columnHeaderCells()[0]->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(cell->columnHeaderCells()[0]->text(QAccessible::Name), "1000");
    EXPECT_EQ(fuel->focusChild(), table->cellAt(0, 0));

    // A field is read by its caption, in the language's words.
    EXPECT_EQ(Reader(Find("txtCorte"))->relations(QAccessible::Label).size(), 1);
    window->logic().ShowChannel(16, 1);
    Tick();
    const std::pair<const char*, const char*> names[] = {{"txtCorte", "T48"},
                                                         {"lblvalor0", "RPM 1024"},
                                                         {"lblCranking", "CRANKING T311"},
                                                         {"txtEscala0", "T308(RPM)"},
                                                         {"barra_panel3", "T322(T79 0)"}};
    for (auto [name, read] : names) EXPECT_EQ(Reader(Find(name))->text(QAccessible::Name), read);

    QAccessibleInterface* chart = Reader(&window->chart());
    EXPECT_EQ(chart->role(), QAccessible::Graphic);
    EXPECT_EQ(chart->text(QAccessible::Name), "T328");
    Chk(0)->click();
    EXPECT_TRUE(chart->text(QAccessible::Description).contains("T332(RPM,0.1)"));
}

TEST_F(WindowTest, ChartHasTheDesignSizeAndDrawsEachTickInOneRepaint) {
    Start();
    ChartWidget& chart = window->chart();
    EXPECT_EQ(chart.image().size(), QSize(723, 273));
    EXPECT_EQ(chart.size(), QSize(725, 275)) << "the frame outside the drawing area";
    // The grid's top and bottom lines are on screen, inside the frame.
    const QImage shown = chart.grab().toImage();
    EXPECT_EQ(shown.pixelColor(400, 273), chart.image().pixelColor(400, 272));
    EXPECT_EQ(shown.pixelColor(400, 1), chart.image().pixelColor(400, 0));
    EXPECT_EQ(chart.image().pixelColor(400, 272), QColor(160, 192, 160)) << "bottom grid line";
    QCoreApplication::processEvents();
    const int before = chart.repaints();
    for (int x = 60; x < 560; ++x) chart.Line(x, 100, x - 1, 120, Rgb(0, 0, 255));
    QCoreApplication::processEvents();
    EXPECT_EQ(chart.repaints(), before) << "nothing shown before the tick ends";
    chart.Show();
    QCoreApplication::processEvents();
    EXPECT_EQ(chart.repaints() - before, 1);
    EXPECT_EQ(chart.lastRepaint(), QRect(59, 100, 501, 21)) << "only the columns drawn in";
    // Painting the widget again (as after being covered) shows the same picture.
    EXPECT_EQ(chart.grab().toImage().pixelColor(301, 111), QColor(0, 0, 255));
    chart.Clear();
    EXPECT_NE(chart.image().pixelColor(300, 110), QColor(0, 0, 255));
}

// The window keeps one file dialog for every choice: a save proposes its
// name in its folder, an open starts in the last folder, and what the user
// picks comes back as the file's path.
TEST(FileDialogTest, OneDialogServesEachChoiceWithItsFolderAndName) {
    QTemporaryDir folder;
    const QString efi = folder.filePath(QStringLiteral("tune.efi"));
    QWidget parent;
    QtFileDialogs dialogs(&parent);
    struct Seen { bool save = false; QString folder, name; } seen;
    const auto answer = [&seen](const QString& typed) {
        QTimer::singleShot(0, [&seen, typed] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* d = qobject_cast<QFileDialog*>(w);
                if (!d || !d->isVisible()) continue;
                auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                seen = {d->acceptMode() == QFileDialog::AcceptSave,
                        d->directory().absolutePath(), name->text()};
                name->setText(typed);
                static_cast<QDialog*>(d)->accept(); // as its button does
            }
        });
    };
    std::optional<std::string> got;
    const FileChosen keep = [&got](const auto& path) { got = path; };
    answer(QStringLiteral("tune.efi"));
    dialogs.ChooseSaveFile("Save", efi.toStdString(), keep);
    EXPECT_FALSE(got) << "the dialog is opened, not run";
    for (int i = 0; i < 10 && !got; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(got, efi.toStdString());
    EXPECT_TRUE(seen.save);
    EXPECT_EQ(seen.folder, QDir(folder.path()).absolutePath());
    EXPECT_EQ(seen.name, QStringLiteral("tune.efi"));

    QFile(efi).open(QIODevice::WriteOnly);
    got.reset();
    answer(QStringLiteral("tune.efi"));
    dialogs.ChooseOpenFile("Open", keep);
    for (int i = 0; i < 10 && !got; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(got, efi.toStdString());
    EXPECT_FALSE(seen.save);
    EXPECT_EQ(seen.folder, QDir(folder.path()).absolutePath());
    EXPECT_EQ(parent.findChildren<QFileDialog*>().size(), 1);
}

} // namespace
} // namespace kavrin::test
