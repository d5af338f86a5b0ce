#include "grid/grid.h"
#include "support/fake_edit_box.h"
#include "support/fake_grid_control.h"
#include "support/fake_owner_window.h"
#include "support/memory_settings_store.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace kavrin {
namespace {

using test::FakeEditBox;
using test::FakeGridControl;
using test::FakeOwnerWindow;
using test::MemorySettingsStore;

using Cell = std::pair<int, int>;
using Offer = std::tuple<int, int, std::string>;

// A window with one 4 x 5 grid (row 0 and column 0 are headers) whose owner
// answers EditarCelda as the main window does: key preview off, open the box.
class GridEditorTest : public ::testing::Test {
protected:
    static constexpr int kRows = 4;
    static constexpr int kCols = 5;

    GridEditorTest() {
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) control.SetTextMatrix(r, c, Original(r, c));
        control.textWrites.clear();
        editor.inicializar(owner, control, box);
        editor.events.ValidarCelda = [this](std::int16_t& row, std::int16_t& col,
                                            std::string& valor, bool& Cancel) {
            offers.emplace_back(row, col, valor);
            if (onValidar) onValidar(row, col, valor, Cancel);
        };
        editor.events.EditarCelda = [this](std::int16_t& row, std::int16_t& col, std::string&) {
            opened.emplace_back(row, col);
            if (!ownerOpensBox) return;
            owner.SetKeyPreview(false);
            editor.EditarCelda();
        };
        editor.events.OcultarCajas = [this] { ++hidden; };
        // A Tab press moves the focus out of the box.
        owner.onSendTab = [this] { box.LoseFocus(); };
        editor.OcultarCajas();
        ClearLogs();
    }

    static std::string Original(int r, int c) { return std::to_string(r * 10 + c); }

    void ClearLogs() {
        offers.clear();
        opened.clear();
        hidden = 0;
        control.textWrites.clear();
    }

    // The user clicks a cell: the box opens there, navigating.
    void OpenByClick(int row, int col) {
        control.ClickCell(row, col);
        ClearLogs();
    }

    // The current cell moves without a click (keyboard in the grid, or the
    // program): the box opens there, not navigating.
    void OpenByCellChange(int row, int col) {
        control.SetRow(row);
        control.SetCol(col);
        ClearLogs();
    }

    Cell Current() const { return {control.Row(), control.Col()}; }

    LinkFlags flags;
    MemorySettingsStore settings;
    FakeOwnerWindow owner;
    FakeGridControl control{"grd_fuel", kRows, kCols};
    FakeEditBox box;
    grid editor{flags, settings};

    bool ownerOpensBox = true;
    std::function<void(std::int16_t&, std::int16_t&, std::string&, bool&)> onValidar;
    std::vector<Offer> offers;
    std::vector<Cell> opened;
    int hidden = 0;
};

// ---- Opening the box --------------------------------------------------------

TEST_F(GridEditorTest, BoxLiesOverTheCurrentCell) {
    control.left = 100;
    control.top = 50;
    control.SetColWidth(2, 1000);
    OpenByClick(2, 2);

    // ColPos(2) = 2 x 960 twips = 128 px, RowPos(2) = 2 x 240 twips = 32 px,
    // one pixel more for the grid line.
    EXPECT_FLOAT_EQ(box.left, 100.0f + 128.0f + 1.0f);
    EXPECT_FLOAT_EQ(box.top, 50.0f + 32.0f + 1.0f);
    EXPECT_FLOAT_EQ(box.width, 1000.0f / 15.0f);
    EXPECT_TRUE(box.visible);
    EXPECT_TRUE(box.focused);
    EXPECT_GT(box.bringToFrontCount, 0);
    EXPECT_FALSE(owner.keyPreview);
}

TEST_F(GridEditorTest, BoxHoldsTheCellTextWhollySelected) {
    control.SetTextMatrix(1, 3, "12.5");
    OpenByClick(1, 3);
    EXPECT_EQ(box.text, "12.5");
    EXPECT_EQ(box.selStart, 0);
    EXPECT_EQ(box.selLength, 4);
    EXPECT_FALSE(flags.suppressWrites);
}

TEST_F(GridEditorTest, BoxTakesTheCellColourOrElseTheGridBackground) {
    control.backColor = Rgb(250, 250, 250);
    flags.suppressWrites = true;
    control.SetRow(2);
    control.SetCol(2);
    control.SetCellBackColor(Rgb(0, 200, 0));
    flags.suppressWrites = false;

    editor.EditarCelda();
    EXPECT_EQ(box.backColour, Rgb(0, 200, 0));

    // A cell explicitly set to black counts as uncoloured.
    control.SetCellBackColor(0);
    editor.EditarCelda();
    EXPECT_EQ(box.backColour, Rgb(250, 250, 250));
}

TEST_F(GridEditorTest, OpeningScrollsUpUntilTheCellIsShown) {
    control.SetRows(9);
    for (int r = kRows; r < 9; ++r) control.SetTextMatrix(r, 1, Original(r, 1));
    control.ScrollTo(5);
    flags.suppressWrites = true;
    control.SetRow(2);
    flags.suppressWrites = false;

    editor.EditarCelda();
    EXPECT_EQ(control.TopRow(), 2);
    EXPECT_FLOAT_EQ(box.top, 240.0f / 15.0f + 1.0f); // right under the header row
}

TEST_F(GridEditorTest, NoBoxOnTheHeaderRowOrAnEmptyGrid) {
    flags.suppressWrites = true;
    control.SetRow(0);
    flags.suppressWrites = false;
    box.visible = false;
    editor.EditarCelda();
    EXPECT_FALSE(box.visible);
    EXPECT_FALSE(flags.suppressWrites);

    control.SetRows(0);
    editor.EditarCelda();
    EXPECT_FALSE(box.visible);
}

TEST_F(GridEditorTest, BoxIsNotFocusedInAHiddenWindow) {
    owner.visible = false;
    OpenByClick(1, 1);
    EXPECT_TRUE(box.visible);
    EXPECT_FALSE(box.focused);
    EXPECT_EQ(box.selLength, 2);
}

TEST_F(GridEditorTest, FocusRefusedIsIgnored) {
    box.refuseFocus = true;
    OpenByClick(1, 1);
    EXPECT_TRUE(box.visible);
    EXPECT_EQ(box.selLength, 2);
    EXPECT_FALSE(flags.suppressWrites);
}

TEST_F(GridEditorTest, FillingTheBoxIsNotAnEdit) {
    OpenByClick(1, 1);
    box.LoseFocus();
    editor.EditarCelda();
    box.PressKey(kKeyReturn);
    EXPECT_TRUE(offers.empty());
    EXPECT_TRUE(control.textWrites.empty());
}

// ---- Grid events --------------------------------------------------------------

TEST_F(GridEditorTest, ClickOnAnotherCellOpensTheBoxTwice) {
    control.ClickCell(2, 3);
    EXPECT_EQ(opened, (std::vector<Cell>{{2, 3}, {2, 3}}));
    EXPECT_EQ(box.text, Original(2, 3));
}

TEST_F(GridEditorTest, ClickOnAHeaderColumnDoesNotOpenTheBox) {
    flags.suppressWrites = true;
    control.SetRow(1);
    control.SetCol(0);
    flags.suppressWrites = false;
    control.Click();
    EXPECT_TRUE(opened.empty());
}

TEST_F(GridEditorTest, ClickIgnoresSuppressWritesButNotHiddenRows) {
    flags.suppressWrites = true;
    control.SetRow(2);
    control.Click();
    EXPECT_EQ(opened.size(), 1u);
    flags.suppressWrites = false;

    control.SetRowHeight(2, 0);
    opened.clear();
    control.Click();
    EXPECT_TRUE(opened.empty());
}

TEST_F(GridEditorTest, CellChangedByProgramUnderSuppressWritesOpensNothing) {
    flags.suppressWrites = true;
    control.SetRow(3);
    flags.suppressWrites = false;
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(hidden, 0);
}

TEST_F(GridEditorTest, ScrollingHidesTheBox) {
    OpenByClick(1, 1);
    control.ScrollTo(2);
    EXPECT_FALSE(box.visible);
    EXPECT_EQ(hidden, 1);
    EXPECT_TRUE(owner.keyPreview);
    EXPECT_TRUE(offers.empty());

    OpenByClick(2, 2);
    flags.suppressWrites = true;
    control.ScrollTo(1);
    EXPECT_TRUE(box.visible);
}

// ---- Keys in the box -----------------------------------------------------------

struct KeyMove {
    const char* name;
    Cell from;
    int key;
    Cell to;
};

class BoxKeyMoveTest : public GridEditorTest, public ::testing::WithParamInterface<KeyMove> {};

TEST_P(BoxKeyMoveTest, CommitsAndOpensTheNextCell) {
    const KeyMove& m = GetParam();
    OpenByClick(m.from.first, m.from.second);
    box.Type("7");
    box.PlaceCaret(0); // Left leaves only from the start of the text
    if (m.key == kKeyRight) box.PlaceCaret(1);

    box.PressKey(m.key);

    EXPECT_EQ(offers, (std::vector<Offer>{{m.from.first, m.from.second, "7"}}));
    EXPECT_EQ(control.TextMatrix(m.from.first, m.from.second), "7");
    EXPECT_EQ(Current(), m.to);
    ASSERT_FALSE(opened.empty());
    EXPECT_EQ(opened.back(), m.to);
    EXPECT_TRUE(box.visible);
    EXPECT_EQ(box.text, control.TextMatrix(m.to.first, m.to.second));
    EXPECT_FALSE(flags.suppressWrites);
}

INSTANTIATE_TEST_SUITE_P(
    Navigation, BoxKeyMoveTest,
    ::testing::Values(KeyMove{"EnterMovesRight", {1, 2}, kKeyReturn, {1, 3}},
                      KeyMove{"EnterInLastColumnWrapsToNextRow", {1, 4}, kKeyReturn, {2, 1}},
                      KeyMove{"EnterInLastCellReopensIt", {3, 4}, kKeyReturn, {3, 4}},
                      KeyMove{"RightAtTextEndMovesRight", {2, 2}, kKeyRight, {2, 3}},
                      KeyMove{"LeftAtTextStartMovesLeft", {2, 3}, kKeyLeft, {2, 2}},
                      KeyMove{"LeftInFirstDataColumnReopensIt", {2, 1}, kKeyLeft, {2, 1}},
                      KeyMove{"UpMovesUp", {3, 2}, kKeyUp, {2, 2}},
                      KeyMove{"UpInFirstDataRowReopensIt", {1, 2}, kKeyUp, {1, 2}},
                      KeyMove{"DownMovesDown", {1, 2}, kKeyDown, {2, 2}},
                      KeyMove{"DownInLastRowReopensIt", {3, 2}, kKeyDown, {3, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridEditorTest, ArrowsInsideTheTextOnlyMoveTheCaret) {
    OpenByClick(2, 2);
    box.Type("123");

    box.PlaceCaret(1);
    EXPECT_EQ(box.PressKey(kKeyRight), kKeyRight);
    EXPECT_EQ(box.PressKey(kKeyLeft), kKeyLeft);
    // With text selected neither leaves, even at the ends.
    box.SetSelStart(0);
    box.SetSelLength(3);
    EXPECT_EQ(box.PressKey(kKeyRight), kKeyRight);
    EXPECT_EQ(box.PressKey(kKeyLeft), kKeyLeft);

    EXPECT_TRUE(offers.empty());
    EXPECT_EQ(Current(), (Cell{2, 2}));

    box.PlaceCaret(3);
    EXPECT_EQ(box.PressKey(kKeyRight), 0);
    EXPECT_EQ(offers, (std::vector<Offer>{{2, 2, "123"}}));
    EXPECT_EQ(Current(), (Cell{2, 3}));
}

TEST_F(GridEditorTest, EscapeLeavesTheCellAsItWas) {
    OpenByClick(2, 2);
    box.Type("99");
    EXPECT_EQ(box.PressKey(kKeyEscape), kKeyEscape);

    EXPECT_FALSE(box.visible);
    EXPECT_EQ(hidden, 1);
    EXPECT_TRUE(owner.keyPreview);
    EXPECT_EQ(box.lastKeyPress, 0); // swallowed, no beep
    // Nor does the focus leaving afterwards write the abandoned text.
    box.LoseFocus();
    EXPECT_TRUE(offers.empty());
    EXPECT_TRUE(control.textWrites.empty());
    EXPECT_EQ(control.TextMatrix(2, 2), Original(2, 2));
}

TEST_F(GridEditorTest, EnterWithoutNavigatingTabsOutAndCommitsAsTheFocusLeaves) {
    OpenByCellChange(2, 3);
    box.Type("5");
    EXPECT_EQ(box.PressKey(kKeyReturn), kKeyReturn);

    EXPECT_EQ(owner.sendTabCount, 1);
    EXPECT_EQ(offers, (std::vector<Offer>{{2, 3, "5"}}));
    EXPECT_EQ(Current(), (Cell{2, 3}));
    EXPECT_TRUE(opened.empty());
}

TEST_F(GridEditorTest, GridLosingTheFocusEndsNavigation) {
    OpenByClick(2, 3);
    control.LoseFocus();
    box.Type("5");
    box.PressKey(kKeyReturn);
    EXPECT_EQ(owner.sendTabCount, 1);
    EXPECT_EQ(Current(), (Cell{2, 3}));
}

TEST_F(GridEditorTest, KeyPressSwallowsOnlyEnterAndEscape) {
    OpenByClick(1, 1);
    box.Type(std::string("4\r2\x1b"));
    EXPECT_EQ(box.text, "42");
}

TEST_F(GridEditorTest, OtherKeysAreLeftToTheBox) {
    OpenByClick(1, 1);
    for (int key : {kKeyTab, kKeyBack, kKeyAdd, kKeyOemMinus, 65})
        EXPECT_EQ(box.PressKey(key), key);
    EXPECT_TRUE(offers.empty());
    EXPECT_EQ(Current(), (Cell{1, 1}));
}

// ---- Commit -------------------------------------------------------------------

TEST_F(GridEditorTest, BlockIsFilledInRowMajorOrderFromTheAnchor) {
    control.DragBlock(1, 2, 3, 3);
    ClearLogs();
    box.Type("8");
    box.PressKey(kKeyReturn);

    const std::vector<Offer> expected{{1, 2, "8"}, {1, 3, "8"}, {2, 2, "8"},
                                      {2, 3, "8"}, {3, 2, "8"}, {3, 3, "8"}};
    EXPECT_EQ(offers, expected);
    for (const auto& [r, c, v] : expected) EXPECT_EQ(control.TextMatrix(r, c), "8");
    EXPECT_EQ(control.TextMatrix(1, 1), Original(1, 1));
    EXPECT_EQ(control.TextMatrix(1, 4), Original(1, 4));
}

TEST_F(GridEditorTest, BlockSelectedBackwardsIsWalkedBackwards) {
    control.DragBlock(3, 3, 1, 2);
    ClearLogs();
    box.Type("8");
    box.LoseFocus();

    EXPECT_EQ(offers,
              (std::vector<Offer>{
                  {3, 3, "8"}, {3, 2, "8"}, {2, 3, "8"}, {2, 2, "8"}, {1, 3, "8"}, {1, 2, "8"}}));
}

TEST_F(GridEditorTest, OnlineTheCellsAreLeftToTheEcuEcho) {
    flags.online = true;
    control.DragBlock(1, 1, 2, 2);
    ClearLogs();
    box.Type("3");
    box.PressKey(kKeyReturn);

    EXPECT_EQ(offers.size(), 4u);
    EXPECT_TRUE(control.textWrites.empty());
    EXPECT_EQ(control.TextMatrix(1, 1), Original(1, 1));
}

TEST_F(GridEditorTest, OwnerRewriteCarriesToTheFollowingCells) {
    onValidar = [](std::int16_t&, std::int16_t&, std::string& valor, bool&) {
        if (valor == "2") valor = "2.00";
    };
    control.DragBlock(1, 1, 1, 3);
    ClearLogs();
    box.Type("2");
    box.LoseFocus();

    EXPECT_EQ(offers, (std::vector<Offer>{{1, 1, "2"}, {1, 2, "2.00"}, {1, 3, "2.00"}}));
    for (int c = 1; c <= 3; ++c) EXPECT_EQ(control.TextMatrix(1, c), "2.00");
}

TEST_F(GridEditorTest, CancelKeepsTheFocusButEveryCellIsOffered) {
    onValidar = [](std::int16_t&, std::int16_t&, std::string&, bool& Cancel) { Cancel = true; };
    control.DragBlock(2, 1, 2, 2);
    ClearLogs();
    box.Type("1");
    const int doEventsBefore = owner.doEventsCount;

    EXPECT_TRUE(box.LoseFocus());
    EXPECT_EQ(offers.size(), 2u);
    EXPECT_EQ(owner.doEventsCount, doEventsBefore); // no event pause after a refusal
    EXPECT_TRUE(box.focused);
}

TEST_F(GridEditorTest, TypedTextIsCommittedAgainOnALaterFocusLoss) {
    OpenByClick(1, 1);
    box.Type("6");
    box.LoseFocus();
    box.LoseFocus();
    EXPECT_EQ(offers, (std::vector<Offer>{{1, 1, "6"}, {1, 1, "6"}}));
}

TEST_F(GridEditorTest, ChangesWhileWritesAreSuppressedAreNotEdits) {
    OpenByClick(1, 1);
    flags.suppressWrites = true;
    box.SetText("77");
    flags.suppressWrites = false;
    box.LoseFocus();
    EXPECT_TRUE(offers.empty());
}

TEST_F(GridEditorTest, OpeningAndLeavingWithoutTypingWritesNothing) {
    OpenByClick(1, 1);
    box.PressKey(kKeyReturn);
    box.PressKey(kKeyDown);
    box.LoseFocus();
    EXPECT_TRUE(offers.empty());
    EXPECT_TRUE(control.textWrites.empty());
}

// ---- Hiding and the owner window's keys ----------------------------------------

TEST_F(GridEditorTest, HidingSwitchesKeyPreviewOnAndEndsNavigation) {
    OpenByClick(1, 1);
    editor.OcultarCajas();
    EXPECT_FALSE(box.visible);
    EXPECT_EQ(hidden, 1);
    EXPECT_TRUE(owner.keyPreview);

    EXPECT_EQ(owner.PressKey(kKeyReturn), kKeyReturn);
    EXPECT_EQ(owner.sendTabCount, 1);
    EXPECT_EQ(Current(), (Cell{1, 1}));
}

TEST_F(GridEditorTest, WindowEnterWhileNavigatingMovesToTheNextCell) {
    ownerOpensBox = false;
    owner.SetKeyPreview(true);
    control.ClickCell(1, 1);

    EXPECT_EQ(owner.PressKey(kKeyReturn), kKeyReturn);
    EXPECT_EQ(Current(), (Cell{1, 2}));
    EXPECT_EQ(owner.sendTabCount, 0);
}

TEST_F(GridEditorTest, WindowIgnoresOtherKeysAndKeysWithoutPreview) {
    owner.SetKeyPreview(true);
    EXPECT_EQ(owner.PressKey(kKeyAdd), kKeyAdd);
    EXPECT_EQ(owner.PressKey(kKeyDown), kKeyDown);
    owner.SetKeyPreview(false);
    owner.PressKey(kKeyReturn);
    EXPECT_EQ(owner.sendTabCount, 0);
}

TEST_F(GridEditorTest, EveryEditorOfTheWindowReactsToItsEnter) {
    FakeGridControl other{"grd_ign", 2, 16};
    FakeEditBox otherBox;
    grid second{flags, settings};
    second.inicializar(owner, other, otherBox);
    second.OcultarCajas();

    owner.PressKey(kKeyReturn);
    EXPECT_EQ(owner.sendTabCount, 2);
}

// ---- Lifetime -------------------------------------------------------------------

TEST_F(GridEditorTest, ReboundEditorReplacesTheOldOne) {
    {
        grid old{flags, settings};
        old.inicializar(owner, control, box);
        EXPECT_EQ(control.ListenerCount(), 2u);
    }
    EXPECT_EQ(control.ListenerCount(), 1u);
    EXPECT_EQ(box.listeners.size(), 1u);
    EXPECT_EQ(owner.listeners.size(), 1u);

    OpenByClick(1, 1);
    box.Type("4");
    box.LoseFocus();
    EXPECT_EQ(offers.size(), 1u);
}

// ---- Column widths ---------------------------------------------------------------

TEST_F(GridEditorTest, ColumnWidthsAreStoredWhenTheWindowUnloads) {
    for (int c = 0; c < kCols; ++c) control.SetColWidth(c, 650 + c);
    owner.Unload();

    for (int c = 0; c < kCols; ++c)
        EXPECT_EQ(settings.GetSetting("RA1", "frmKAVRIN", "grd_fuel_colwidth" + std::to_string(c),
                                      "<absent>"),
                  std::to_string(650 + c));
    EXPECT_EQ(settings.saves.size(), static_cast<std::size_t>(kCols));
}

TEST_F(GridEditorTest, CargarColWidthsReadsStoredWidths) {
    const std::vector<std::pair<std::string, int>> stored{
        {"700", 700}, {"712.5", 712}, {" 1 2 0 0 ", 1200}, {"abc", 0}};
    for (std::size_t c = 0; c < stored.size(); ++c)
        settings.SaveSetting("RA1", "frmKAVRIN", "grd_fuel_colwidth" + std::to_string(c),
                             stored[c].first);
    control.SetColWidth(4, 777); // nothing stored: the width stays

    editor.CargarColWidths();
    for (std::size_t c = 0; c < stored.size(); ++c)
        EXPECT_EQ(control.ColWidth(static_cast<int>(c)), stored[c].second) << stored[c].first;
    EXPECT_EQ(control.ColWidth(4), 777);
}

TEST_F(GridEditorTest, StoredWidthsComeBackAfterAnUnload) {
    control.SetColWidth(2, 1234);
    owner.Unload();
    control.SetColWidth(2, 650);
    editor.CargarColWidths();
    EXPECT_EQ(control.ColWidth(2), 1234);
}

// ---- SetTextColor ----------------------------------------------------------------

TEST_F(GridEditorTest, SetTextColorColoursOneCellAndRestoresTheState) {
    for (bool held : {false, true}) {
        OpenByClick(1, 2);
        flags.suppressWrites = held;
        editor.SetTextColor(3, 4, Rgb(255, 0, 0));

        EXPECT_EQ(flags.suppressWrites, held);
        EXPECT_EQ(control.CellForeColorAt(3, 4), Rgb(255, 0, 0));
        EXPECT_EQ(Current(), (Cell{1, 2}));
        EXPECT_TRUE(opened.empty());
        EXPECT_EQ(hidden, 0);
        EXPECT_TRUE(box.visible);
        flags.suppressWrites = false;
    }
}

// ---- List box --------------------------------------------------------------------

class FakeListBox final : public ListBox {
public:
    int ListCount() const override { return static_cast<int>(items.size()); }
    std::string List(int i) const override { return items.at(static_cast<std::size_t>(i)); }
    int ListIndex() const override { return index; }
    void SetListIndex(int i) override {
        index = i;
        indexWrites.push_back(i);
    }
    void Move(float l, float t, float w) override {
        left = l;
        top = t;
        width = w;
    }
    void SetVisible(bool v) override { visible = v; }
    bool IsEnabled() const override { return enabled; }
    bool SetFocus() override {
        focused = true;
        return true;
    }
    void BringToFront() override { ++bringToFrontCount; }

    std::vector<std::string> items;
    std::vector<int> indexWrites;
    int index = 3;
    float left = 0, top = 0, width = 0;
    bool visible = false;
    bool enabled = true;
    bool focused = false;
    int bringToFrontCount = 0;
};

TEST_F(GridEditorTest, ListBoxOpensOnTheCellWithItsTextSelected) {
    control.left = 4170;
    control.top = 5070;
    flags.suppressWrites = true;
    control.SetRow(2);
    control.SetCol(2);
    control.SetText("On");
    flags.suppressWrites = false;
    FakeListBox list;
    list.items = {"Off", "on", "On", "On"};

    editor.EditarCombo(list);
    // Twips added unconverted, for an owner laid out in twips.
    EXPECT_FLOAT_EQ(list.left, 4170.0f + 1920.0f + 15.0f);
    EXPECT_FLOAT_EQ(list.top, 5070.0f + 480.0f + 15.0f);
    EXPECT_FLOAT_EQ(list.width, 960.0f);
    EXPECT_EQ(list.indexWrites, (std::vector<int>{-1, 2}));
    EXPECT_TRUE(list.visible);
    EXPECT_TRUE(list.focused);
    EXPECT_EQ(list.bringToFrontCount, 1);
    EXPECT_FALSE(flags.suppressWrites);
}

TEST_F(GridEditorTest, ListBoxWithoutAMatchSelectsNothingAndADisabledOneGetsNoFocus) {
    FakeListBox list;
    list.items = {"a", "b"};
    list.enabled = false;
    editor.EditarCombo(list);
    EXPECT_EQ(list.index, -1);
    EXPECT_FALSE(list.focused);
    EXPECT_TRUE(list.visible);
}

TEST_F(GridEditorTest, OpeningAListBoxDropsTheBoxEdit) {
    OpenByClick(1, 1);
    box.Type("9");
    FakeListBox list;
    editor.EditarCombo(list);
    box.LoseFocus();
    EXPECT_TRUE(offers.empty());
}

} // namespace
} // namespace kavrin
