// The live views and the detection window on real widgets (offscreen): the
// chart's off-screen drawing, what the accessibility tools read, the "Comm"
// menu and the detection window's keys.
#include "support/fake_link_host.h"
#include "support/fake_serial_device.h"
#include "support/memory_file_system.h"
#include "support/memory_settings_store.h"
#include "ui/accessibility.h"
#include "ui/auto_dialog.h"
#include "ui/main_window.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace kavrin::test {
namespace {

class QtApplicationEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "live_widgets_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

struct Desk {
    explicit Desk(std::vector<std::string> list = {"COM1"}) {
        ports.ports = std::move(list);
        files.files["/prog/English.lan"] = NumberedLanguageFile();
        window =
            std::make_unique<MainWindow>(Platform{device, ports, clock, settings, files, "/prog"});
        window->Load();
        window->show();
        QCoreApplication::processEvents();
    }
    template <typename T> T* Find(const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    FakeClock clock;
    FakeSerialDevice device{&clock};
    FakePortDirectory ports;
    MemorySettingsStore settings;
    MemoryFileSystem files;
    std::unique_ptr<MainWindow> window;
};

TEST(ChartWidget, DrawingStaysInTheImageAndATickIsOneRepaint) {
    ChartWidget chart(QSize(723, 273));
    chart.show();
    QCoreApplication::processEvents();
    const int before = chart.repaints();
    for (int x = 60; x < 560; ++x) chart.Line(x, 100, x - 1, 120, Rgb(0, 0, 255));
    QCoreApplication::processEvents();
    EXPECT_EQ(chart.repaints() - before, 1);
    EXPECT_EQ(chart.image().pixelColor(300, 110), QColor(0, 0, 255));
    // Painting the widget again (as after being covered) shows the same picture.
    const QImage shown = chart.grab().toImage();
    EXPECT_EQ(shown.pixelColor(300, 110), QColor(0, 0, 255));
    chart.Clear();
    EXPECT_NE(chart.image().pixelColor(300, 110), QColor(0, 0, 255));
}

TEST(MainWindowView, ChartHasTheDesignSizeAndItsGridAtLoad) {
    Desk d;
    ChartWidget& chart = d.window->chart();
    EXPECT_EQ(chart.size(), QSize(723, 273));
    // The bottom grid line at H - 1 in the grid colour.
    EXPECT_EQ(chart.image().pixelColor(400, 272), QColor(160, 192, 160));
}

QAccessibleInterface* Reader(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

TEST(MainWindowView, ToolsReadTablesFieldsValuesAndIndicators) {
    Desk d;
    d.window->logic().ShowChannel(0, 1024);

    auto* fuel = Reader(d.Find<QWidget>("grd_fuel"));
    ASSERT_NE(fuel, nullptr);
    EXPECT_EQ(fuel->role(), QAccessible::Table);
    EXPECT_EQ(fuel->text(QAccessible::Name), "Fuel map");
    QAccessibleTableInterface* table = fuel->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 11);
    EXPECT_EQ(table->columnCount(), 15);
    QAccessibleInterface* cell = table->cellAt(0, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->role(), QAccessible::Cell);
    QAccessibleTableCellInterface* cellInfo = cell->tableCellInterface();
    ASSERT_NE(cellInfo, nullptr);
    ASSERT_EQ(cellInfo->columnHeaderCells().size(), 1);
    EXPECT_EQ(cellInfo->columnHeaderCells()[0]->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(cellInfo->columnHeaderCells()[0]->text(QAccessible::Name), "1000");
    EXPECT_EQ(fuel->focusChild(), table->cellAt(0, 0));

    auto* corte = Reader(d.Find<QWidget>("txtCorte"));
    EXPECT_EQ(corte->text(QAccessible::Name), "T48"); // its caption, in the language's words
    const auto labelledBy = corte->relations(QAccessible::Label);
    ASSERT_EQ(labelledBy.size(), 1);

    EXPECT_EQ(Reader(d.Find<QLabel>("lblvalor0"))->text(QAccessible::Name), "RPM 1024");
    EXPECT_EQ(Reader(d.Find<QLabel>("lblCranking"))->text(QAccessible::Name), "CRANKING off");
    d.window->logic().ShowChannel(16, 1);
    EXPECT_EQ(Reader(d.Find<QLabel>("lblCranking"))->text(QAccessible::Name), "CRANKING on");
    EXPECT_EQ(Reader(d.Find<QWidget>("txtEscala0"))->text(QAccessible::Name), "RPM chart scale");

    QAccessibleInterface* chart = Reader(&d.window->chart());
    EXPECT_EQ(chart->role(), QAccessible::Graphic);
    EXPECT_EQ(chart->text(QAccessible::Name), "Live chart");
    d.window->view().channels.chk[0]->SetChecked(true);
    EXPECT_TRUE(chart->text(QAccessible::Description).contains("RPM (scale 0.1)"));

    EXPECT_EQ(Reader(d.Find<QLabel>("barra_panel3"))->text(QAccessible::Name), "Status bar: T79 0");
}

QMenu* CommMenu(MainWindow& w) {
    return qobject_cast<QMenu*>(w.findChild<QAction*>("mnAuto")->parent());
}

TEST(MainWindowView, CommMenuHasAutoAndOneCheckedItemPerPort) {
    Desk d({"COM1", "COM4"});
    QMenu* comm = CommMenu(*d.window);
    ASSERT_NE(comm, nullptr);
    const auto actions = comm->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->objectName(), "mnAuto");
    EXPECT_EQ(actions[1]->text(), "COM1");
    EXPECT_EQ(actions[2]->text(), "COM4");
    EXPECT_TRUE(actions[1]->isChecked());
    actions[2]->trigger();
    EXPECT_EQ(d.device.openName, "fake:4");
    EXPECT_TRUE(actions[2]->isChecked());
    EXPECT_FALSE(actions[1]->isChecked());
}

TEST(AutoDialogView, ListsThePortsAndEscapeClosesIt) {
    Desk d({"COM1", "COM3", "COM4"});
    frmKAVRIN& frm = d.window->logic();
    AutoDialog dialog(frm.detectionHost(), d.ports, frm.texts(), d.window.get());
    dialog.show();
    dialog.logic().Form_Load();
    EXPECT_EQ(dialog.windowTitle(), "T82");
    EXPECT_EQ(dialog.PortLabelCount(), 3);
    auto* third = dialog.findChild<QLabel*>("lblCOM3");
    ASSERT_NE(third, nullptr);
    EXPECT_TRUE(third->isVisible());
    EXPECT_EQ(third->text(), "COM4");
    EXPECT_EQ(dialog.findChild<QLabel*>("lblCOM1")->text(), "COM1   T88");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
} // namespace kavrin::test
