// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real main window on the offscreen platform with the machine faked: a
// serial device the test feeds, a port table, a clock that moves only when
// told, settings and files in memory. The link ticks are run by hand, and what
// message boxes say is noted and the boxes closed.
#include "support/fake_link_host.h"
#include "support/fake_serial_device.h"
#include "support/link_rig.h"
#include "support/memory_file_system.h"
#include "support/memory_settings_store.h"
#include "support/qt_application.h"
#include "ui/main_window.h"
#include "ui/qt_edit_box.h"
#include "ui/qt_grid_control.h"

#include <QAbstractButton>
#include <QAction>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kavrin::test {

// Hands out the file the test chose, as if the user had picked it, and notes
// the titles and proposed names the dialogs showed.
struct ChosenFile final : FileDialogs {
    void ChooseOpenFile(const std::string& title, FileChosen done) override {
        asked += title + " ";
        done(choice);
    }
    void ChooseSaveFile(const std::string& title, const std::string& proposed,
                        FileChosen done) override {
        asked += title + " " + proposed + " ";
        done(choice);
    }
    void ChooseLogFile(const std::string& title, const std::string& proposed,
                       FileChosen done) override {
        ChooseSaveFile(title, proposed, std::move(done));
    }
    std::optional<std::string> choice;
    std::string asked;
};

// A configuration like the simulated ECU's: fuel rising through the map,
// THR MIN 20, THR MAX 220, the options byte 129, the cut-off at 24 (6000 rpm)
// and EFI factor 100.
inline std::vector<std::uint8_t> Tune() {
    std::vector<std::uint8_t> image(214, 0);
    for (int i = 0; i < 165; ++i) image[i] = static_cast<std::uint8_t>(40 + i);
    for (int i = 165; i < 180; ++i) image[i] = 28;
    for (int i = 180; i < 201; ++i) image[i] = 128;
    for (auto [index, value] : {std::pair{205, 20}, {206, 220}, {207, 129}, {208, 24}, {209, 100}})
        image[std::size_t(index)] = std::uint8_t(value);
    return image;
}

// The write messages of (index, value) pairs, in order, as they go on the wire:
// "M", index, value and their check, a frame's shape.
inline std::vector<std::uint8_t> Writes(const std::vector<std::pair<int, int>>& writes) {
    std::vector<std::uint8_t> out;
    for (auto [index, value] : writes) {
        const auto m = Frame('M', static_cast<std::uint16_t>(value << 8 | index));
        out.insert(out.end(), m.begin(), m.end());
    }
    return out;
}

class WindowRig : public ::testing::Test {
protected:
    WindowRig() { files.files["/prog/English.lan"] = NumberedLanguageFile(); }
    ~WindowRig() override {
        window.reset();
        QCoreApplication::processEvents();
    }

    // Builds, loads and shows the window (again) with the settings as the test
    // left them.
    void Start() {
        window.reset();
        Platform platform{device, ports, clock, settings, files, "/prog"};
        platform.moreLanguageFolders = languageFolders;
        platform.calendar = &calendar;
        window = std::make_unique<MainWindow>(std::move(platform));
        window->view().dialogs = &chosen;
        Answering([this] { window->Load(); });
        for (const char* name : {"tmrcom", "Timer2"}) Find<QTimer>(name)->stop();
        window->show();
        window->activateWindow();
        QCoreApplication::processEvents();
    }
    // Starts, receives the image (the tune above unless given) and leaves the
    // window online with a clean wire.
    void Connect(const std::vector<std::uint8_t>& image = Tune()) {
        Start();
        device.ClearWritten();
        device.Feed(Dump(image));
        Tick(2);
        ASSERT_TRUE(window->logic().linkState().flags.online);
        device.ClearWritten();
    }
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) window->logic().tmrcom_Timer();
    }
    // Runs what may open message boxes: each, once shown, is noted and
    // answered (Yes when yes is set, else No or OK).
    void Answering(const std::function<void()>& run, bool yes = false) {
        run();
        for (;;) {
            QCoreApplication::processEvents();
            const auto boxes = window->findChildren<QMessageBox*>();
            auto open = std::find_if(boxes.begin(), boxes.end(),
                                     [](QMessageBox* b) { return b->isVisible(); });
            if (open == boxes.end()) return;
            said.push_back((*open)->text().toStdString());
            QAbstractButton* button = (*open)->button(yes ? QMessageBox::Yes : QMessageBox::No);
            if (!button) button = (*open)->button(QMessageBox::Ok);
            button->click();
        }
    }
    template <typename T = QWidget> T* Find(const QString& name) const {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    // Runs a menu command as the user picks it, answering what it asks.
    void Trigger(const char* action, bool yes = false) {
        Answering([&] { Find<QAction>(action)->trigger(); }, yes);
    }
    void ClickCell(const QString& grid, int row, int col) {
        auto* g = Find<QtGridControl>(grid);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->CellRect(row, col).center());
    }
    // Clicks a cell of grd_fuel, grd_ign or grd3, types into the box that
    // opens and presses Enter.
    void TypeCell(const QString& grid, int row, int col, const char* text) {
        ClickCell(grid, row, col);
        auto* box = Find<QtEditBox>("txt" + grid);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    // The write messages among what went out ("G" and "R" requests aside).
    std::vector<std::uint8_t> WritesOnWire() const {
        std::vector<std::uint8_t> out;
        const auto& w = device.written;
        for (std::size_t i = 0; i < w.size(); i += w[i] == 'M' ? 4 : 1)
            if (w[i] == 'M')
                out.insert(out.end(), w.begin() + i, w.begin() + std::min(i + 4, w.size()));
        return out;
    }
    // Echoes every write on the wire back as the ECU would: an echo is the
    // write message itself.
    void EchoWrites() {
        device.Feed(WritesOnWire());
        device.ClearWritten();
        Tick();
    }

    FakeClock clock;
    FixedCalendar calendar;
    FakeSerialDevice device;
    FakePortDirectory ports;
    MemorySettingsStore settings;
    MemoryFileSystem files;
    std::vector<std::string> languageFolders;
    ChosenFile chosen;
    std::unique_ptr<MainWindow> window;
    std::vector<std::string> said;
};

} // namespace kavrin::test
