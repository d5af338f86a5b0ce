// The real window: the Language menu switching to the Cyrillic file and back,
// a configuration saved and opened through the File menu, a plotted channel
// surviving a restart. With KAVRIN_SCREENSHOTS set to a folder, each step is
// also saved there as a picture.
#include "base/qt_file_system.h"
#include "support/fake_serial_device.h"
#include "support/fake_window_extras.h"
#include "support/memory_settings_store.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

class QtApplicationEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "window_files_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

void Shot(QWidget& window, const char* name) {
    const QString folder = qEnvironmentVariable("KAVRIN_SCREENSHOTS");
    if (folder.isEmpty()) return;
    QApplication::processEvents();
    window.grab().save(folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

QMenu* TopMenu(QMainWindow& w, int position) {
    return w.menuBar()->actions().at(position)->menu();
}

QAction* Entry(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

// The program folder holds the shipped language files.
struct Rig {
    Rig() {
        for (const QString& name : QDir(QStringLiteral(KAVRIN_LANG_DIR))
                                       .entryList({QStringLiteral("*.lan")}, QDir::Files))
            QFile::copy(QStringLiteral(KAVRIN_LANG_DIR "/") + name, folder.filePath(name));
    }
    std::unique_ptr<MainWindow> Open() {
        auto w = std::make_unique<MainWindow>(
            Platform{device, ports, clock, settings, files, folder.path().toStdString()});
        w->view().dialogs = &dialogs;
        w->Load();
        w->show();
        return w;
    }
    QTemporaryDir folder;
    FakeClock clock;
    FakeSerialDevice device{&clock};
    FakePortDirectory ports;
    MemorySettingsStore settings;
    QtFileSystem files;
    FakeFileDialogs dialogs;
};

TEST(WindowFiles, LanguageMenuSwitchesToCyrillicAndBack) {
    Rig rig;
    auto w = rig.Open();
    QMenu* language = TopMenu(*w, 3);
    ASSERT_EQ(language->title(), "Language");
    QAction* russian = Entry(language, QStringLiteral("Russian"));
    QAction* english = Entry(language, QStringLiteral("English"));
    ASSERT_TRUE(russian && english);
    EXPECT_TRUE(english->isChecked());
    Shot(*w, "1-english");

    russian->trigger();
    EXPECT_TRUE(russian->isChecked());
    EXPECT_FALSE(english->isChecked());
    EXPECT_EQ(TopMenu(*w, 0)->title(), QStringLiteral("Файл"));
    EXPECT_EQ(w->findChild<QCheckBox*>(QStringLiteral("chk0"))->text(), QStringLiteral("Обороты"));
    EXPECT_EQ(w->findChild<QTabWidget*>(QStringLiteral("tab0"))->tabText(0),
              QStringLiteral("Каналы I"));
    EXPECT_TRUE(w->findChild<QLabel*>(QStringLiteral("lblFuelMap"))
                    ->text()
                    .startsWith(QStringLiteral("КАРТА ВПРЫСКА")));
    EXPECT_EQ(rig.settings.Get("main", "language"), "Russian");
    Shot(*w, "2-russian");
    language->popup(w->mapToGlobal(QPoint(200, 0)));
    Shot(*language, "3-russian-language-menu");
    language->hide();

    Entry(language, QStringLiteral("Espanol"))->trigger();
    EXPECT_EQ(w->findChild<QTabWidget*>(QStringLiteral("tab2"))->tabText(0),
              QStringLiteral("Parámetros"));
    Shot(*w, "4-spanish");

    Entry(language, QStringLiteral("English"))->trigger();
    EXPECT_EQ(TopMenu(*w, 0)->title(), QStringLiteral("File"));
    EXPECT_EQ(w->findChild<QCheckBox*>(QStringLiteral("chk0"))->text(), QStringLiteral("RPM"));
    Shot(*w, "5-english-again");
}

TEST(WindowFiles, AConfigurationSavedAndOpenedThroughTheFileMenu) {
    Rig rig;
    auto w = rig.Open();
    QMenu* file = TopMenu(*w, 0);
    const std::string path = rig.folder.filePath(QStringLiteral("tune.efi")).toStdString();
    rig.dialogs.choice = path;
    Entry(file, QStringLiteral("Save"))->trigger();
    EXPECT_EQ(w->windowTitle().toStdString(), path);
    const auto saved = rig.files.ReadFile(path);
    ASSERT_TRUE(saved);
    std::size_t lines = 0;
    for (std::size_t at = saved->find("\r\n"); at != std::string::npos;
         at = saved->find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, 34u);

    // A file whose fuel map climbs from 40, opened offline.
    std::string tune = "format=15x11\r\nsize=214\r\n;EFI\r\n";
    for (int r = 0; r < 11; ++r) {
        for (int c = 0; c < 15; ++c) tune += (c ? "," : "") + std::to_string(40 + r * 15 + c);
        tune += "\r\n";
    }
    const std::string other = rig.folder.filePath(QStringLiteral("other.efi")).toStdString();
    ASSERT_TRUE(rig.files.WriteFile(other, tune));
    rig.dialogs.choice = other;
    Entry(file, QStringLiteral("Open"))->trigger();
    EXPECT_EQ(w->windowTitle().toStdString(), other);
    EXPECT_EQ(w->view().grids.grd_fuel->TextMatrix(11, 15), "204");
    Shot(*w, "6-opened");
}

TEST(WindowFiles, APlottedChannelSurvivesARestart) {
    Rig rig;
    {
        auto w = rig.Open();
        auto* chk = w->findChild<QCheckBox*>(QStringLiteral("chk5"));
        chk->click();
        EXPECT_EQ(rig.settings.Get("channels", "activate_5"), "1");
        EXPECT_EQ(rig.settings.Get("channels", "name_5"), "THR");
        w->close();
    }
    auto again = rig.Open();
    EXPECT_TRUE(again->findChild<QCheckBox*>(QStringLiteral("chk5"))->isChecked());
    EXPECT_FALSE(again->findChild<QCheckBox*>(QStringLiteral("chk4"))->isChecked());
    Shot(*again, "7-restarted");
}

} // namespace
} // namespace kavrin::test
