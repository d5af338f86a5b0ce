// SPDX-License-Identifier: GPL-3.0-or-later
// The grid editor on the real widgets, offscreen: mouse and keys go through
// Qt's event delivery, focus changes run the box's validation.
#include "grid/grid.h"
#include "support/memory_settings_store.h"
#include "support/qt_application.h"
#include "ui/qt_edit_box.h"
#include "ui/qt_grid_control.h"
#include "ui/qt_owner_window.h"

#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace kavrin {
namespace {

using Cell = std::pair<int, int>;
using Offers = std::vector<std::tuple<int, int, std::string>>;

// A window laid out like the main one: a client area under a 25-pixel menu
// strip holding a 4 x 5 grid, its editing box and one more control to tab to.
// The owner answers EditarCelda as the main window does: key preview off, open
// the box.
class GridWidgetTest : public ::testing::Test {
protected:
    GridWidgetTest() {
        window.resize(640, 360);
        auto* client = new QWidget(&window);
        client->setGeometry(0, 25, 640, 335);
        fuel = new QtGridControl("grd_fuel", client);
        fuel->setGeometry(20, 30, 500, 200);
        fuel->SetRows(4);
        fuel->SetCols(5);
        for (int c = 0; c < 5; ++c) fuel->SetColWidth(c, 900);
        Fill();
        box = new QtEditBox(client);
        box->resize(83, 20);
        next = new QPushButton("next", client);
        next->setGeometry(20, 280, 80, 24);
        owner = std::make_unique<QtOwnerWindow>(&window, "frmKAVRIN");
        editor = std::make_unique<grid>(flags, writes, settings);
        editor->inicializar(*owner, *fuel, *box);
        editor->events.ValidarCelda = [this](std::int16_t& r, std::int16_t& c, std::string& valor,
                                             bool& Cancel) {
            offers.emplace_back(r, c, valor);
            if (onValidar) onValidar(valor, Cancel);
        };
        editor->events.EditarCelda = [this](std::int16_t& r, std::int16_t& c, std::string&) {
            opened.emplace_back(r, c);
            owner->SetKeyPreview(false);
            editor->EditarCelda();
        };
        window.show();
        window.activateWindow();
        QCoreApplication::processEvents();
        editor->OcultarCajas();
    }
    void SetUp() override { ASSERT_EQ(QApplication::activeWindow(), &window); }

    void Fill() {
        for (int r = 0; r < fuel->Rows(); ++r)
            for (int c = 0; c < 5; ++c) fuel->SetTextMatrix(r, c, std::to_string(r * 10 + c));
    }
    // Every data cell whose text is no longer the one Fill gave it, row by row.
    Offers Changed() const {
        Offers changed;
        for (int r = 1; r < fuel->Rows(); ++r)
            for (int c = 1; c < 5; ++c)
                if (fuel->TextMatrix(r, c) != std::to_string(r * 10 + c))
                    changed.emplace_back(r, c, fuel->TextMatrix(r, c));
        return changed;
    }
    QPoint Centre(Cell cell) const { return fuel->CellRect(cell.first, cell.second).center(); }
    void ClickCell(int row, int col) {
        QTest::mouseClick(fuel->viewport(), Qt::LeftButton, {}, Centre({row, col}));
    }
    // A block dragged out with the mouse, or opened on one cell; logs cleared.
    void Drag(Cell from, Cell to) {
        QTest::mousePress(fuel->viewport(), Qt::LeftButton, {}, Centre(from));
        QTest::mouseMove(fuel->viewport(), Centre(to));
        QTest::mouseRelease(fuel->viewport(), Qt::LeftButton, {}, Centre(to));
        offers.clear();
        opened.clear();
    }
    void Open(int row, int col) { Drag({row, col}, {row, col}); }
    // The program moves the current cell without opening anything.
    void SetCurrentQuietly(int row, int col) {
        const SuppressWrites quiet(writes);
        fuel->SetRow(row);
        fuel->SetCol(col);
    }
    // The focused box shows the text just inside the cell's grid line.
    void ExpectBoxOver(int row, int col, const std::string& text) const {
        EXPECT_TRUE(box->isVisible() && box->hasFocus());
        EXPECT_EQ(box->Text(), text);
        EXPECT_EQ(box->mapTo(&window, QPoint(0, 0)),
                  fuel->viewport()->mapTo(&window, fuel->CellRect(row, col).topLeft()) +
                      QPoint(1, 1));
    }
    Cell Current() const { return {fuel->Row(), fuel->Col()}; }

    LinkFlags flags;
    WriteSuppression writes;
    test::MemorySettingsStore settings;
    QWidget window;
    QtGridControl* fuel = nullptr;
    QtEditBox* box = nullptr;
    QPushButton* next = nullptr;
    std::unique_ptr<QtOwnerWindow> owner;
    std::unique_ptr<grid> editor;
    std::function<void(std::string&, bool&)> onValidar;
    Offers offers;
    std::vector<Cell> opened;
};

TEST_F(GridWidgetTest, OpeningEdgeCases) {
    ClickCell(2, 3);
    EXPECT_EQ(box->width(), 60); // the column's 900 twips
    // The box takes the cell's colour, or the grid's background for a cell set to black.
    fuel->SetBackColor(Rgb(250, 250, 250));
    for (auto [cell, shown] : {std::pair{Rgb(0, 200, 0), QColor(0, 200, 0)},
                               std::pair{Colour{0}, QColor(250, 250, 250)}}) {
        fuel->SetCellBackColor(cell);
        editor->EditarCelda();
        EXPECT_EQ(box->palette().color(QPalette::Base), shown);
    }
    box->setEnabled(false); // a box that cannot take the focus still opens, text selected
    Open(2, 1);
    EXPECT_TRUE(box->isVisible() && !box->hasFocus());
    EXPECT_EQ(box->selectedText(), "21");
    editor->OcultarCajas(); // no box on the header row, nor in an emptied grid
    for (int rows : {4, 0}) {
        SetCurrentQuietly(0, 1);
        fuel->SetRows(rows);
        editor->EditarCelda();
        EXPECT_TRUE(box->isHidden());
    }
    EXPECT_FALSE(writes.Suppressed());
}

TEST_F(GridWidgetTest, AClickOpensTheCurrentCellOnlyOnAShownDataCell) {
    fuel->SetRowHeight(3, 0);
    // A cell set by program, a header column, a hidden row.
    for (auto [row, col, opens] : {std::tuple{1, 3, true}, {1, 0, false}, {3, 2, false}}) {
        editor->OcultarCajas();
        SetCurrentQuietly(row, col);
        EXPECT_TRUE(opened.empty()) << "a cell change by program opens nothing";
        // A click on the grey beyond the cells moves no cell.
        QTest::mouseClick(fuel->viewport(), Qt::LeftButton, {},
                          QPoint(fuel->viewport()->width() - 5, 5));
        EXPECT_EQ(opened.size(), opens ? 1u : 0u) << row << col;
        opened.clear();
    }
}

// A click on another cell, or a key: the typed text is committed and the box
// opens on the next cell with its text selected (Enter moving right is tried
// on the window).
TEST_F(GridWidgetTest, KeysCommitTheCellAndOpenTheNextOne) {
    const std::tuple<const char*, Cell, Qt::Key, Cell> moves[] = {
        {"a click on another cell", {2, 3}, Qt::Key_unknown, {3, 3}},
        {"Enter in the last column wraps to the next row", {1, 4}, Qt::Key_Return, {2, 1}},
        {"Enter in the last cell reopens it", {3, 4}, Qt::Key_Return, {3, 4}},
        {"Right at the text end moves right", {2, 2}, Qt::Key_Right, {2, 3}},
        {"Left at the text start moves left", {2, 3}, Qt::Key_Left, {2, 2}},
        {"Left in the first data column reopens it", {2, 1}, Qt::Key_Left, {2, 1}},
        {"Up moves up", {3, 2}, Qt::Key_Up, {2, 2}},
        {"Up in the first data row reopens it", {1, 2}, Qt::Key_Up, {1, 2}},
        {"Down moves down", {1, 2}, Qt::Key_Down, {2, 2}},
        {"Down in the last row reopens it", {3, 2}, Qt::Key_Down, {3, 2}},
    };
    int typed = 100;
    for (const auto& [name, from, key, to] : moves) {
        SCOPED_TRACE(name);
        Fill();
        Open(from.first, from.second);
        const std::string value = std::to_string(++typed);
        QTest::keyClicks(box, value.c_str());
        if (key == Qt::Key_Left) QTest::keyClick(box, Qt::Key_Home);
        if (key == Qt::Key_unknown)
            ClickCell(to.first, to.second);
        else
            QTest::keyClick(box, key);
        EXPECT_EQ(offers, (Offers{{from.first, from.second, value}}));
        EXPECT_EQ(Changed(), offers);
        EXPECT_EQ(opened, std::vector<Cell>(key == Qt::Key_unknown ? 2 : 1, to));
        ExpectBoxOver(to.first, to.second, fuel->TextMatrix(to.first, to.second));
        EXPECT_EQ(box->selectedText(), box->text()) << "the key went on to the new box";
        EXPECT_FALSE(writes.Suppressed());
    }
}

TEST_F(GridWidgetTest, LeftAndRightInsideTheTextOnlyMoveTheCaret) {
    ClickCell(1, 1);
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right}) QTest::keyClick(box, key); // over a selection
    box->selectAll();
    QTest::keyClicks(box, "-12"); // the main keyboard's minus is typed like any character
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right}) QTest::keyClick(box, key);
    EXPECT_TRUE(offers.empty());
    EXPECT_EQ(Current(), (Cell{1, 1}));
    QTest::keyClick(box, Qt::Key_Right);
    EXPECT_EQ(offers, (Offers{{1, 1, "-12"}}));
}

// Scrolling hides the box uncommitted (Escape is tried on the main window).
TEST_F(GridWidgetTest, ScrollingHidesTheBoxWithoutCommitting) {
    fuel->SetRows(40);
    ClickCell(2, 2);
    QTest::keyClicks(box, "6");
    fuel->SetTopRow(5);
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(offers.empty());
    EXPECT_EQ(fuel->TextMatrix(2, 2), "22");
    // Opened again, the grid scrolls back up until the cell shows under the headers.
    editor->EditarCelda();
    EXPECT_EQ(fuel->TopRow(), 2);
    ExpectBoxOver(2, 2, "22");
}

// With no box open the window's Enter tabs on, as the parameter fields show.
TEST_F(GridWidgetTest, EnterAtTheWindowTabsOnOrMovesWhileNavigating) {
    const auto enter = [this] {
        QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, Qt::Key_Return);
        QCoreApplication::processEvents();
    };
    fuel->setFocus(); // a box opened by a key, not navigating: Enter commits and tabs on
    QTest::keyClick(fuel, Qt::Key_Down);
    QTest::keyClicks(box, "5");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(offers.empty()); // the Tab press is still on its way
    QCoreApplication::processEvents();
    EXPECT_EQ(offers, (Offers{{2, 1, "5"}}));
    EXPECT_FALSE(box->hasFocus());
    EXPECT_EQ(Current(), (Cell{2, 1}));

    ClickCell(1, 1);
    editor->OcultarCajas(); // hiding ends navigation and gives the window its keys
    enter();
    EXPECT_EQ(Current(), (Cell{1, 1}));
    editor->events.EditarCelda = nullptr; // navigating with no box open
    ClickCell(1, 1);
    enter();
    EXPECT_EQ(Current(), (Cell{1, 2}));
    owner->SetKeyPreview(false); // and not at all without key preview
    enter();
    EXPECT_EQ(Current(), (Cell{1, 2}));
}

// A block's every cell is offered from its anchor on and written with what
// the owner left in valor; online none is written, the ECU's echo writes them.
// A block committed with Enter is the window's header fill; here focus leaves.
TEST_F(GridWidgetTest, BlockFills) {
    onValidar = [](std::string& valor, bool&) {
        if (valor == "2") valor = "2.00";
    };
    // Selected by program from the far corner.
    fuel->SetRow(3);
    fuel->SetCol(4);
    fuel->SetRowSel(2);
    fuel->SetColSel(3);
    QTest::keyClicks(box, "1");
    next->setFocus();
    EXPECT_EQ(offers, (Offers{{3, 4, "1"}, {3, 3, "1"}, {2, 4, "1"}, {2, 3, "1"}}));
    EXPECT_EQ(Changed(), (Offers{{2, 3, "1"}, {2, 4, "1"}, {3, 3, "1"}, {3, 4, "1"}}));
    Fill();
    Drag({1, 1}, {1, 3});
    QTest::keyClicks(box, "2");
    next->setFocus();
    EXPECT_EQ(offers, (Offers{{1, 1, "2"}, {1, 2, "2.00"}, {1, 3, "2.00"}}));
    EXPECT_EQ(Changed(), (Offers{{1, 1, "2.00"}, {1, 2, "2.00"}, {1, 3, "2.00"}}));
    Fill();
    flags.online = true;
    Drag({1, 1}, {2, 2});
    QTest::keyClicks(box, "3");
    next->setFocus();
    EXPECT_EQ(offers, (Offers{{1, 1, "3"}, {1, 2, "3"}, {2, 1, "3"}, {2, 2, "3"}}));
    EXPECT_EQ(Changed(), Offers{});
}

TEST_F(GridWidgetTest, CancelKeepsTheFocusButEveryCellIsOffered) {
    Drag({2, 1}, {2, 2});
    QTest::keyClicks(box, "1");
    onValidar = [](std::string&, bool& Cancel) { Cancel = true; };
    next->setFocus();
    EXPECT_EQ(offers.size(), 2u);
    QCoreApplication::processEvents();
    EXPECT_TRUE(box->hasFocus());
    onValidar = nullptr; // accepted now, and offered again on every later focus loss
    for (QWidget* w : std::initializer_list<QWidget*>{next, box, next}) w->setFocus();
    EXPECT_EQ(offers.size(), 6u);
}

TEST_F(GridWidgetTest, NothingIsWrittenWithoutTyping) {
    Open(1, 1); // filling the box is no edit, nor a text set while writes are suppressed
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(box, Qt::Key_Down);
    {
        const SuppressWrites quiet(writes);
        box->SetText("77");
    }
    next->setFocus();
    EXPECT_TRUE(offers.empty());
    EXPECT_EQ(Changed(), Offers{});
}

TEST_F(GridWidgetTest, ColoursShowInTheDrawingAndLeaveTheEditAlone) {
    SetCurrentQuietly(1, 4);
    fuel->SetCellBackColor(Rgb(0, 200, 0));
    Open(1, 1);
    for (bool held : {false, true}) {
        std::optional<SuppressWrites> quiet; // the caller may hold a guard already
        if (held) quiet.emplace(writes);
        editor->SetTextColor(3, 2, Rgb(255, 0, 0));
        EXPECT_EQ(writes.Suppressed(), held);
    }
    EXPECT_TRUE(opened.empty());
    ExpectBoxOver(1, 1, "11");

    Drag({1, 1}, {2, 3});
    const QImage image = fuel->grab().toImage();
    const auto at = [&](int row, int col) {
        return image.pixelColor(fuel->CellRect(row, col).topLeft() + QPoint(1, 1));
    };
    bool red = false; // the text is drawn in red
    const QRect cell = fuel->CellRect(3, 2).adjusted(1, 1, 0, 0);
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            red |= image.pixelColor(x, y).red() > 150 && image.pixelColor(x, y).green() < 100;
    EXPECT_TRUE(red);
    EXPECT_EQ(at(1, 4), QColor(0, 200, 0));
    EXPECT_EQ(at(2, 2), QColor(96, 96, 255)); // the block
    EXPECT_EQ(at(3, 3), QColor(Qt::white));   // outside it
    EXPECT_EQ(at(0, 1), fuel->palette().color(QPalette::Button));
}

TEST_F(GridWidgetTest, ColumnWidthsAreLoadedAndStoredUnderTheGridsName) {
    const auto key = [](int col) { return "grd_fuel_colwidth" + std::to_string(col); };
    // Damaged values are limited to the window's width; nothing stored keeps the width.
    const char* stored[] = {"712.6", "1e12", "-500", "", ""};
    for (int c = 0; c < 4; ++c)
        if (*stored[c]) settings.SaveSetting("RA1", "frmKAVRIN", key(c), stored[c]);
    editor->CargarColWidths();
    fuel->SetColWidth(3, 1234);
    window.close(); // every column is stored as the window closes
    const int widths[] = {713, grid::kMaxColWidth, 0, 1234, 900};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(settings.GetSetting("RA1", "frmKAVRIN", key(c), ""), std::to_string(widths[c]));
}

} // namespace
} // namespace kavrin
