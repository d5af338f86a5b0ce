#include "grid/grid.h"
#include "support/fake_edit_box.h"
#include "support/fake_grid_control.h"
#include "support/fake_owner_window.h"
#include "support/memory_settings_store.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace kavrin {
namespace {

using test::FakeEditBox;
using test::FakeGridControl;
using Cell = std::pair<int, int>;
using Offers = std::vector<std::tuple<int, int, std::string>>;

// A list of fixed choices that remembers where it was put.
class FakeListBox final : public ListBox {
public:
    int ListCount() const override { return static_cast<int>(items.size()); }
    std::string List(int i) const override { return items.at(static_cast<std::size_t>(i)); }
    int ListIndex() const override { return index; }
    void SetListIndex(int i) override { index = i; }
    void Move(float l, float t, float w) override { place = {l, t, w}; }
    void SetVisible(bool v) override { visible = v; }
    bool IsEnabled() const override { return enabled; }
    bool SetFocus() override { return focused = true; }
    void BringToFront() override { ++bringToFrontCount; }

    std::vector<std::string> items;
    int index = 3;
    std::array<float, 3> place{}; // left, top, width
    bool visible = false, enabled = true, focused = false;
    int bringToFrontCount = 0;
};

// A window with one 4 x 5 grid (row 0 and column 0 are headers) whose owner
// answers EditarCelda as the main window does: key preview off, open the box.
class GridEditorTest : public ::testing::Test {
protected:
    GridEditorTest() {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 5; ++c) control.SetTextMatrix(r, c, std::to_string(r * 10 + c));
        editor.inicializar(owner, control, box);
        editor.events.ValidarCelda = [this](std::int16_t& row, std::int16_t& col,
                                            std::string& valor, bool& Cancel) {
            offers.emplace_back(row, col, valor);
            if (onValidar) onValidar(valor, Cancel);
        };
        editor.events.EditarCelda = [this](std::int16_t& row, std::int16_t& col, std::string&) {
            opened.emplace_back(row, col);
            owner.SetKeyPreview(false);
            editor.EditarCelda();
        };
        editor.events.OcultarCajas = [this] { ++hidden; };
        owner.onSendTab = [this] { box.LoseFocus(); }; // Tab moves the focus out of the box
        editor.OcultarCajas();
        ClearLogs();
    }

    void ClearLogs() {
        offers.clear();
        opened.clear();
        hidden = 0;
        control.textWrites.clear();
    }
    // The user clicks a cell (the box opens there, navigating) or drags a block.
    void Click(int row, int col) { Drag(row, col, row, col); }
    void Drag(int row, int col, int rowSel, int colSel) {
        control.DragBlock(row, col, rowSel, colSel);
        ClearLogs();
    }
    // The program moves the current cell without opening anything.
    void SetCurrentQuietly(int row, int col) {
        flags.suppressWrites = true;
        control.SetRow(row);
        control.SetCol(col);
        flags.suppressWrites = false;
    }
    Cell Current() const { return {control.Row(), control.Col()}; }

    LinkFlags flags;
    test::MemorySettingsStore settings;
    test::FakeOwnerWindow owner;
    FakeGridControl control{"grd_fuel", 4, 5};
    FakeEditBox box;
    grid editor{flags, settings};

    std::function<void(std::string&, bool&)> onValidar;
    Offers offers;
    std::vector<Cell> opened;
    int hidden = 0;
};

// ---- Opening the box ----------------------------------------------------------

TEST_F(GridEditorTest, BoxOpensOverTheCellWithItsTextSelectedAndItsColour) {
    control.left = 100;
    control.top = 50;
    control.backColor = Rgb(250, 250, 250);
    control.SetColWidth(2, 1000);
    control.SetTextMatrix(2, 2, "12.5");
    Click(2, 2);
    // ColPos(2) = 2 x 960 twips = 128 px, RowPos(2) = 2 x 240 twips = 32 px,
    // one pixel more for the grid line.
    EXPECT_FLOAT_EQ(box.left, 100.0f + 128.0f + 1.0f);
    EXPECT_FLOAT_EQ(box.top, 50.0f + 32.0f + 1.0f);
    EXPECT_FLOAT_EQ(box.width, 1000.0f / 15.0f);
    EXPECT_TRUE(box.visible && box.focused && box.bringToFrontCount > 0);
    EXPECT_EQ(std::tuple(box.text, box.selStart, box.selLength), std::tuple("12.5", 0, 4));

    // The cell's colour, or the grid's background for a cell set to black.
    control.SetCellBackColor(Rgb(0, 200, 0));
    editor.EditarCelda();
    EXPECT_EQ(box.backColour, Rgb(0, 200, 0));
    control.SetCellBackColor(0);
    editor.EditarCelda();
    EXPECT_EQ(box.backColour, Rgb(250, 250, 250));

    // Scrolled past, the grid scrolls back up until the cell shows.
    control.SetRows(9);
    control.ScrollTo(5);
    editor.EditarCelda();
    EXPECT_EQ(control.TopRow(), 2);
    EXPECT_FLOAT_EQ(box.top, 50.0f + 16.0f + 1.0f); // right under the header row
}

TEST_F(GridEditorTest, OpeningEdgeCases) {
    owner.visible = false; // a box that cannot take the focus still opens, text selected
    Click(1, 1);
    EXPECT_TRUE(box.visible && !box.focused && box.selLength == 2);
    owner.visible = true;
    box.refuseFocus = true;
    Click(2, 1);
    EXPECT_TRUE(box.visible && box.selLength == 2 && !flags.suppressWrites);

    box.visible = false; // no box in an emptied grid or on the header row
    control.SetRows(0);
    editor.EditarCelda();
    EXPECT_FALSE(box.visible);
    control.SetRows(4);
    SetCurrentQuietly(0, 1);
    editor.EditarCelda();
    EXPECT_FALSE(box.visible || flags.suppressWrites);
}

TEST_F(GridEditorTest, ClickOpensTheBoxOnlyOnAShownDataCell) {
    control.ClickCell(2, 3); // the cell change opens it, the click again
    EXPECT_EQ(opened, (std::vector<Cell>{{2, 3}, {2, 3}}));
    EXPECT_EQ(box.text, "23");

    ClearLogs();
    flags.suppressWrites = true;
    control.SetRow(1); // a cell change by program opens and hides nothing
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(hidden, 0);
    control.Click(); // a click opens the box all the same
    EXPECT_EQ(opened, (std::vector<Cell>{{1, 3}}));

    opened.clear(); // not on a header column, nor on a hidden row
    SetCurrentQuietly(1, 0);
    control.Click();
    SetCurrentQuietly(2, 2);
    control.SetRowHeight(2, 0);
    control.Click();
    EXPECT_TRUE(opened.empty());
}

// ---- Keys in the box ------------------------------------------------------------

TEST_F(GridEditorTest, KeysCommitTheCellAndOpenTheNextOne) {
    const std::tuple<const char*, Cell, int, Cell> moves[] = {
        {"Enter moves right", {1, 2}, kKeyReturn, {1, 3}},
        {"Enter in the last column wraps to the next row", {1, 4}, kKeyReturn, {2, 1}},
        {"Enter in the last cell reopens it", {3, 4}, kKeyReturn, {3, 4}},
        {"Right at the text end moves right", {2, 2}, kKeyRight, {2, 3}},
        {"Left at the text start moves left", {2, 3}, kKeyLeft, {2, 2}},
        {"Left in the first data column reopens it", {2, 1}, kKeyLeft, {2, 1}},
        {"Up moves up", {3, 2}, kKeyUp, {2, 2}},
        {"Up in the first data row reopens it", {1, 2}, kKeyUp, {1, 2}},
        {"Down moves down", {1, 2}, kKeyDown, {2, 2}},
        {"Down in the last row reopens it", {3, 2}, kKeyDown, {3, 2}},
    };
    int typed = 100;
    for (const auto& [name, from, key, to] : moves) {
        SCOPED_TRACE(name);
        const auto [row, col] = from;
        const std::string value = std::to_string(++typed);
        Click(row, col);
        box.Type(value);
        if (key == kKeyLeft) box.PlaceCaret(0);
        EXPECT_EQ(box.PressKey(key), key == kKeyReturn ? key : 0); // arrows go no further
        EXPECT_EQ(offers, (Offers{{row, col, value}}));
        EXPECT_EQ(control.textWrites, (Offers{{row, col, value}}));
        EXPECT_EQ(Current(), to);
        EXPECT_EQ(opened, std::vector<Cell>{to});
        EXPECT_TRUE(box.visible);
        EXPECT_EQ(box.text, control.TextMatrix(to.first, to.second));
        EXPECT_FALSE(flags.suppressWrites);
    }
}

TEST_F(GridEditorTest, OtherKeysStayInTheBox) {
    Click(2, 2);
    box.Type("1\r2\x1b"); // typed Enter and Escape are swallowed
    box.Type("3");
    EXPECT_EQ(box.text, "123");
    box.PlaceCaret(1); // Right and Left inside the text
    EXPECT_EQ(box.PressKey(kKeyRight), kKeyRight);
    EXPECT_EQ(box.PressKey(kKeyLeft), kKeyLeft);
    box.SetSelStart(0); // or over a selection, even at the ends
    box.SetSelLength(3);
    EXPECT_EQ(box.PressKey(kKeyRight), kKeyRight);
    EXPECT_EQ(box.PressKey(kKeyLeft), kKeyLeft);
    for (int key : {kKeyTab, kKeyBack, kKeyAdd, kKeyOemMinus, 65})
        EXPECT_EQ(box.PressKey(key), key);
    EXPECT_TRUE(offers.empty());
    EXPECT_EQ(Current(), (Cell{2, 2}));

    box.PlaceCaret(3);
    EXPECT_EQ(box.PressKey(kKeyRight), 0);
    EXPECT_EQ(offers, (Offers{{2, 2, "123"}}));
}

// ---- Commit ---------------------------------------------------------------------

TEST_F(GridEditorTest, BlockIsOfferedRowByRowFromTheAnchorAndWrittenOffline) {
    const auto fill = [this](int row, int col, int rowSel, int colSel, const char* value) {
        Drag(row, col, rowSel, colSel);
        box.Type(value);
        box.LoseFocus();
        // Each cell offered is written, and no other; online the ECU's echo writes them.
        EXPECT_EQ(control.textWrites, flags.online ? Offers{} : offers);
        return offers;
    };
    EXPECT_EQ(
        fill(1, 2, 3, 3, "8"),
        (Offers{{1, 2, "8"}, {1, 3, "8"}, {2, 2, "8"}, {2, 3, "8"}, {3, 2, "8"}, {3, 3, "8"}}));
    EXPECT_EQ(
        fill(3, 3, 1, 2, "9"),
        (Offers{{3, 3, "9"}, {3, 2, "9"}, {2, 3, "9"}, {2, 2, "9"}, {1, 3, "9"}, {1, 2, "9"}}));

    // What the owner leaves in valor is written and offered to the following cells.
    onValidar = [](std::string& valor, bool&) {
        if (valor == "2") valor = "2.00";
    };
    Drag(1, 1, 1, 3);
    box.Type("2");
    box.LoseFocus();
    EXPECT_EQ(offers, (Offers{{1, 1, "2"}, {1, 2, "2.00"}, {1, 3, "2.00"}}));
    EXPECT_EQ(control.textWrites, (Offers{{1, 1, "2.00"}, {1, 2, "2.00"}, {1, 3, "2.00"}}));

    onValidar = nullptr;
    flags.online = true;
    EXPECT_EQ(fill(1, 1, 2, 2, "3").size(), 4u);
}

TEST_F(GridEditorTest, CancelKeepsTheFocusButEveryCellIsOffered) {
    onValidar = [](std::string&, bool& Cancel) { Cancel = true; };
    Drag(2, 1, 2, 2);
    box.Type("1");
    const int doEventsBefore = owner.doEventsCount;
    EXPECT_TRUE(box.LoseFocus());
    EXPECT_EQ(offers.size(), 2u);
    EXPECT_EQ(owner.doEventsCount, doEventsBefore); // no event pause after a refusal
    EXPECT_TRUE(box.focused);

    onValidar = nullptr; // accepted now, and offered again on every later focus loss
    EXPECT_FALSE(box.LoseFocus());
    EXPECT_FALSE(box.LoseFocus());
    EXPECT_EQ(offers.size(), 6u);
}

TEST_F(GridEditorTest, NothingIsWrittenWithoutTyping) {
    const auto nothingWritten = [this] { return offers.empty() && control.textWrites.empty(); };
    Click(1, 1); // filling the box is no edit
    box.PressKey(kKeyReturn);
    box.PressKey(kKeyDown);
    box.LoseFocus();
    EXPECT_TRUE(nothingWritten()) << "filled";

    flags.suppressWrites = true;
    box.SetText("77");
    flags.suppressWrites = false;
    box.LoseFocus();
    EXPECT_TRUE(nothingWritten()) << "set while writes are suppressed";

    box.Type("9");
    FakeListBox list;
    editor.EditarCombo(list);
    box.LoseFocus();
    EXPECT_TRUE(nothingWritten()) << "typed before a list box took over";
}

// ---- The owner window and the editor's lifetime -----------------------------------

TEST_F(GridEditorTest, WindowEnterMovesOnWhileNavigatingAndTabsOtherwise) {
    Click(1, 1);
    editor.OcultarCajas(); // hiding ends navigation and gives the window its keys
    EXPECT_EQ(owner.PressKey(kKeyReturn), kKeyReturn);
    EXPECT_EQ(owner.sendTabCount, 1);
    EXPECT_EQ(Current(), (Cell{1, 1}));

    editor.events.EditarCelda = nullptr; // navigating with no box open
    control.ClickCell(1, 1);
    owner.PressKey(kKeyReturn);
    EXPECT_EQ(Current(), (Cell{1, 2}));

    // Other keys, and Enter without key preview, are left alone.
    EXPECT_EQ(owner.PressKey(kKeyAdd), kKeyAdd);
    EXPECT_EQ(owner.PressKey(kKeyDown), kKeyDown);
    owner.SetKeyPreview(false);
    owner.PressKey(kKeyReturn);
    EXPECT_EQ(Current(), (Cell{1, 2}));
    EXPECT_EQ(owner.sendTabCount, 1);
}

TEST_F(GridEditorTest, AnEditorStopsListeningWhenDestroyed) {
    {
        grid old{flags, settings};
        old.inicializar(owner, control, box);
        EXPECT_EQ(control.ListenerCount(), 2u);
    }
    EXPECT_EQ(control.ListenerCount(), 1u);
    EXPECT_EQ(box.listeners.size(), 1u);
    EXPECT_EQ(owner.listeners.size(), 1u);
    Click(1, 1);
    box.Type("4");
    box.LoseFocus();
    EXPECT_EQ(offers.size(), 1u);
}

// ---- Column widths, text colour, list box -------------------------------------------

TEST_F(GridEditorTest, ColumnWidthsAreLoadedAndStoredUnderTheGridsName) {
    const auto key = [](auto col) { return "grd_fuel_colwidth" + std::to_string(col); };
    const std::vector<std::pair<std::string, int>> stored{
        {"700", 700}, {"712.5", 712}, {" 1 2 0 0 ", 1200}, {"abc", 0}};
    for (std::size_t c = 0; c < stored.size(); ++c)
        settings.SaveSetting("RA1", "frmKAVRIN", key(c), stored[c].first);
    control.SetColWidth(4, 777); // nothing stored: the width stays
    editor.CargarColWidths();
    for (std::size_t c = 0; c < stored.size(); ++c)
        EXPECT_EQ(control.ColWidth(static_cast<int>(c)), stored[c].second) << stored[c].first;
    EXPECT_EQ(control.ColWidth(4), 777);

    settings.saves.clear(); // every column is stored as the window unloads
    for (int c = 0; c < 5; ++c) control.SetColWidth(c, 650 + c);
    owner.Unload();
    EXPECT_EQ(settings.saves.size(), 5u);
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(settings.GetSetting("RA1", "frmKAVRIN", key(c), ""), std::to_string(650 + c));
}

TEST_F(GridEditorTest, SetTextColorColoursOneCellAndRestoresTheState) {
    for (bool held : {false, true}) {
        Click(1, 2);
        flags.suppressWrites = held;
        editor.SetTextColor(3, 4, Rgb(255, 0, 0));
        EXPECT_EQ(flags.suppressWrites, held);
        EXPECT_EQ(control.CellForeColorAt(3, 4), Rgb(255, 0, 0));
        EXPECT_EQ(Current(), (Cell{1, 2}));
        EXPECT_TRUE(opened.empty() && hidden == 0 && box.visible);
        flags.suppressWrites = false;
    }
}

TEST_F(GridEditorTest, ListBoxOpensOnTheCellAtItsFirstExactMatch) {
    control.left = 4170;
    control.top = 5070;
    SetCurrentQuietly(2, 2);
    control.SetText("On");
    FakeListBox list;
    list.items = {"Off", "on", "On", "On"};
    editor.EditarCombo(list);
    // Twips added unconverted, for an owner laid out in twips.
    EXPECT_EQ(list.place,
              (std::array{4170.0f + 1920.0f + 15.0f, 5070.0f + 480.0f + 15.0f, 960.0f}));
    EXPECT_EQ(list.index, 2);
    EXPECT_TRUE(list.visible && list.focused && list.bringToFrontCount == 1);
    EXPECT_FALSE(flags.suppressWrites);

    list.items = {"a", "b"}; // no match selects nothing; a disabled list is not focused
    list.enabled = list.focused = false;
    editor.EditarCombo(list);
    EXPECT_EQ(list.index, -1);
    EXPECT_FALSE(list.focused);
}

} // namespace
} // namespace kavrin
