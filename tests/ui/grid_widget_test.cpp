// The grid editor on the real widgets, offscreen: mouse and keys go through
// Qt's event delivery, focus changes run the box's validation.
#include "grid/grid.h"
#include "support/memory_settings_store.h"
#include "ui/qt_controls.h"
#include "ui/qt_edit_box.h"
#include "ui/qt_grid_control.h"
#include "ui/qt_owner_window.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace kavrin {
namespace {

class QtApplicationEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "grid_widget_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

using Cell = std::pair<int, int>;
using Offers = std::vector<std::tuple<int, int, std::string>>;

// A window laid out like the main one: a client area under a 25-pixel menu
// strip holding a 4 x 5 grid, its editing box and one more control to tab to.
class GridWidgetTest : public ::testing::Test {
protected:
    GridWidgetTest() {
        window.resize(640, 360);
        client = new QWidget(&window);
        client->setGeometry(0, 25, 640, 335);
        fuel = new QtGridControl("grd_fuel", client);
        fuel->setGeometry(20, 30, 500, 200);
        fuel->SetRows(4);
        fuel->SetCols(5);
        for (int c = 0; c < 5; ++c) fuel->SetColWidth(c, 900);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 5; ++c) fuel->SetTextMatrix(r, c, std::to_string(r * 10 + c));
        box = new QtEditBox(client);
        box->resize(83, 20);
        next = new QPushButton("next", client);
        next->setGeometry(20, 280, 80, 24);

        owner = std::make_unique<QtOwnerWindow>(&window, "frmKAVRIN");
        editor = std::make_unique<grid>(flags, settings);
        editor->inicializar(*owner, *fuel, *box);
        editor->events.ValidarCelda = [this](std::int16_t& row, std::int16_t& col,
                                             std::string& valor,
                                             bool&) { offers.emplace_back(row, col, valor); };
        editor->events.EditarCelda = [this](std::int16_t& row, std::int16_t& col, std::string&) {
            opened.emplace_back(row, col);
            owner->SetKeyPreview(false);
            editor->EditarCelda();
        };

        window.show();
        window.activateWindow();
        QCoreApplication::processEvents();
        editor->OcultarCajas();
    }

    ~GridWidgetTest() override { editor.reset(); }

    void SetUp() override { ASSERT_EQ(QApplication::activeWindow(), &window); }

    QPoint CellCentre(int row, int col) const { return fuel->CellRect(row, col).center(); }
    void ClickCell(int row, int col) {
        QTest::mouseClick(fuel->viewport(), Qt::LeftButton, {}, CellCentre(row, col));
    }
    QColor PixelAt(int row, int col, QPoint offset) const {
        return fuel->grab().toImage().pixelColor(fuel->CellRect(row, col).topLeft() + offset);
    }
    // The focused box shows the text just inside the cell's grid line.
    void ExpectBoxOver(int row, int col, const char* text) const {
        EXPECT_TRUE(box->isVisible() && box->hasFocus());
        EXPECT_EQ(box->text(), text);
        EXPECT_EQ(box->mapTo(&window, QPoint(0, 0)),
                  fuel->viewport()->mapTo(&window, fuel->CellRect(row, col).topLeft()) +
                      QPoint(1, 1));
    }
    Cell Current() const { return {fuel->Row(), fuel->Col()}; }

    LinkFlags flags;
    test::MemorySettingsStore settings;
    QWidget window;
    QWidget* client = nullptr;
    QtGridControl* fuel = nullptr;
    QtEditBox* box = nullptr;
    QPushButton* next = nullptr;
    std::unique_ptr<QtOwnerWindow> owner;
    std::unique_ptr<grid> editor;
    Offers offers;
    std::vector<Cell> opened;
};

TEST_F(GridWidgetTest, ClickOpensTheBoxOverTheCellAndEnterOrAnotherClickCommits) {
    ClickCell(2, 3);
    EXPECT_EQ(opened, (std::vector<Cell>{{2, 3}, {2, 3}}));
    ExpectBoxOver(2, 3, "23");
    EXPECT_EQ(box->selectedText(), "23");
    EXPECT_EQ(box->width(), 60); // the column's 900 twips

    QTest::keyClicks(box, "42");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(offers, (Offers{{2, 3, "42"}}));
    EXPECT_EQ(fuel->TextMatrix(2, 3), "42");
    EXPECT_EQ(Current(), (Cell{2, 4}));
    ExpectBoxOver(2, 4, "24");

    QTest::keyClicks(box, "8");
    ClickCell(3, 3);
    EXPECT_EQ(offers, (Offers{{2, 3, "42"}, {2, 4, "8"}}));
    EXPECT_EQ(fuel->TextMatrix(2, 4), "8");
    ExpectBoxOver(3, 3, "33");
}

TEST_F(GridWidgetTest, ArrowKeysLeaveTheCellOnlyAtTheTextEnds) {
    ClickCell(1, 1);
    QTest::keyClicks(box, "123");
    QTest::keyClick(box, Qt::Key_Left);
    QTest::keyClick(box, Qt::Key_Right);
    EXPECT_TRUE(offers.empty());
    EXPECT_EQ(box->cursorPosition(), 3);

    QTest::keyClick(box, Qt::Key_Right);
    EXPECT_EQ(offers, (Offers{{1, 1, "123"}}));
    EXPECT_EQ(Current(), (Cell{1, 2}));
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(Current(), (Cell{2, 2}));
    QTest::keyClick(box, Qt::Key_Up);
    QTest::keyClick(box, Qt::Key_Up); // the first data row stays
    EXPECT_EQ(Current(), (Cell{1, 2}));
    EXPECT_EQ(offers.size(), 1u); // nothing typed in the cells passed through
}

TEST_F(GridWidgetTest, EscapeAndScrollingHideTheBoxWithoutCommitting) {
    ClickCell(2, 2);
    QTest::keyClicks(box, "99");
    QTest::keyClick(box, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(owner->KeyPreview());

    fuel->SetRows(40);
    ClickCell(2, 2);
    QTest::keyClicks(box, "6");
    fuel->SetTopRow(5);
    EXPECT_EQ(fuel->TopRow(), 5);
    EXPECT_EQ(fuel->RowPos(5), fuel->RowHeight(0));
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(offers.empty());
    EXPECT_EQ(fuel->TextMatrix(2, 2), "22");
}

TEST_F(GridWidgetTest, EnterWhenNotNavigatingTabsToTheNextControl) {
    next->setFocus(); // no box open: the window's Enter
    ASSERT_TRUE(owner->KeyPreview());
    QTest::keyClick(next, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_FALSE(next->hasFocus());

    fuel->setFocus();
    QTest::keyClick(fuel, Qt::Key_Down); // from (1,1) to (2,1): the box opens, not navigating
    ASSERT_TRUE(box->hasFocus());
    EXPECT_EQ(box->text(), "21");
    QTest::keyClicks(box, "5");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(offers.empty()); // the Tab press is still on its way
    QCoreApplication::processEvents();
    EXPECT_EQ(offers, (Offers{{2, 1, "5"}}));
    EXPECT_EQ(fuel->TextMatrix(2, 1), "5");
    EXPECT_FALSE(box->hasFocus());
    EXPECT_EQ(Current(), (Cell{2, 1}));
}

TEST_F(GridWidgetTest, BlockIsShownSelectedAndFilledFromItsAnchor) {
    QTest::mousePress(fuel->viewport(), Qt::LeftButton, {}, CellCentre(1, 1));
    QTest::mouseMove(fuel->viewport(), CellCentre(2, 3));
    QTest::mouseRelease(fuel->viewport(), Qt::LeftButton, {}, CellCentre(2, 3));
    EXPECT_EQ(Current(), (Cell{1, 1}));
    EXPECT_EQ((Cell{fuel->RowSel(), fuel->ColSel()}), (Cell{2, 3}));
    EXPECT_EQ(fuel->ShownBackground(2, 2), QColor(96, 96, 255));
    EXPECT_EQ(PixelAt(2, 2, QPoint(1, 1)), QColor(96, 96, 255));
    EXPECT_EQ(PixelAt(3, 2, QPoint(1, 1)), QColor(Qt::white));     // outside the block
    EXPECT_EQ(PixelAt(2, 2, QPoint(0, 0)), QColor(192, 192, 192)); // grid line

    ASSERT_TRUE(box->hasFocus());
    QTest::keyClicks(box, "7");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(
        offers,
        (Offers{{1, 1, "7"}, {1, 2, "7"}, {1, 3, "7"}, {2, 1, "7"}, {2, 2, "7"}, {2, 3, "7"}}));
    EXPECT_EQ(fuel->TextMatrix(2, 3), "7");
    EXPECT_EQ(fuel->TextMatrix(3, 1), "31");

    // Selected by program from its far corner, and committed by the focus leaving.
    offers.clear();
    fuel->SetRow(3);
    fuel->SetCol(4);
    fuel->SetRowSel(2);
    fuel->SetColSel(3);
    ASSERT_TRUE(box->hasFocus());
    QTest::keyClicks(box, "1");
    next->setFocus();
    EXPECT_EQ(offers, (Offers{{3, 4, "1"}, {3, 3, "1"}, {2, 4, "1"}, {2, 3, "1"}}));
}

TEST_F(GridWidgetTest, CellColoursShowInTheDrawing) {
    editor->SetTextColor(3, 2, Rgb(255, 0, 0));
    flags.suppressWrites = true;
    fuel->SetRow(1);
    fuel->SetCol(4);
    fuel->SetCellBackColor(Rgb(0, 200, 0));
    fuel->SetCol(1); // away from the focus frame
    flags.suppressWrites = false;

    EXPECT_EQ(fuel->ShownTextColour(3, 2), QColor(255, 0, 0));
    EXPECT_EQ(PixelAt(1, 4, QPoint(1, 1)), QColor(0, 200, 0));
    const QImage image = fuel->grab().toImage();
    const QRect cell = fuel->CellRect(3, 2).adjusted(1, 1, 0, 0);
    int redPixels = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            redPixels += p.red() > 150 && p.green() < 100 && p.blue() < 100;
        }
    EXPECT_GT(redPixels, 0); // the text is drawn in red
    // Header cells on the button face, the area beyond the cells grey.
    EXPECT_EQ(PixelAt(0, 1, QPoint(1, 1)), fuel->palette().color(QPalette::Button));
    EXPECT_EQ(image.pixelColor(fuel->viewport()->width() - 2, 5), QColor(128, 128, 128));
}

TEST_F(GridWidgetTest, ColumnWidthsAreStoredWhenTheWindowCloses) {
    fuel->SetColWidth(2, 1234);
    window.close();
    EXPECT_EQ(settings.GetSetting("RA1", "frmKAVRIN", "grd_fuel_colwidth2", ""), "1234");
    EXPECT_EQ(settings.GetSetting("RA1", "frmKAVRIN", "grd_fuel_colwidth4", ""), "900");
}

TEST(WindowsKeyCodeTest, KeysMapToTheirWindowCodes) {
    const std::vector<std::tuple<Qt::Key, Qt::KeyboardModifiers, int>> table{
        {Qt::Key_Return, Qt::NoModifier, 13},    {Qt::Key_Enter, Qt::KeypadModifier, 13},
        {Qt::Key_Escape, Qt::NoModifier, 27},    {Qt::Key_Tab, Qt::NoModifier, 9},
        {Qt::Key_Left, Qt::NoModifier, 37},      {Qt::Key_Up, Qt::NoModifier, 38},
        {Qt::Key_Right, Qt::NoModifier, 39},     {Qt::Key_Down, Qt::NoModifier, 40},
        {Qt::Key_Plus, Qt::KeypadModifier, 107}, {Qt::Key_Minus, Qt::KeypadModifier, 109},
        {Qt::Key_Plus, Qt::ShiftModifier, 187},  {Qt::Key_Equal, Qt::NoModifier, 187},
        {Qt::Key_Minus, Qt::NoModifier, 189},    {Qt::Key_A, Qt::NoModifier, 65},
        {Qt::Key_5, Qt::NoModifier, 53},         {Qt::Key_5, Qt::KeypadModifier, 101}};
    for (const auto& [key, modifiers, code] : table) {
        const QKeyEvent event(QEvent::KeyPress, key, modifiers);
        EXPECT_EQ(WindowsKeyCode(event), code) << key;
    }
}

} // namespace
} // namespace kavrin
