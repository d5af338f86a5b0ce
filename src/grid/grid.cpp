// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/grid.h"

#include "base/modulo.h"

#include <algorithm>
#include <limits>

namespace kavrin {

namespace {

// Characters, not bytes, as the box counts its caret position.
int CharCount(const std::string& text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char ch) {
        return (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
    }));
}

std::int16_t ToInt16(int value) {
    return static_cast<std::int16_t>(std::clamp<int>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

int StepTowards(int from, int to) {
    return to < from ? -1 : 1;
}

} // namespace

grid::grid(const LinkFlags& flags, WriteSuppression& writes, SettingsStore& settings)
    : flags_(flags), writes_(writes), settings_(settings) {}

grid::~grid() {
    Detach();
}

void grid::Detach() {
    if (frm) frm->RemoveListener(&windowHandler_);
    if (grd) grd->RemoveListener(&gridHandler_);
    if (txtGrd) txtGrd->RemoveListener(&boxHandler_);
    frm = nullptr;
    grd = nullptr;
    txtGrd = nullptr;
}

void grid::inicializar(OwnerWindow& owner, GridControl& control, EditBox& box) {
    Detach();
    // A (re)bound editor starts idle, whatever it was doing before.
    textChanged = false;
    navigating = false;
    frm = &owner;
    grd = &control;
    txtGrd = &box;
    frm->AddListener(&windowHandler_);
    grd->AddListener(&gridHandler_);
    txtGrd->AddListener(&boxHandler_);
}

void grid::OcultarCajas() {
    if (!txtGrd) return;
    txtGrd->SetVisible(false);
    if (events.OcultarCajas) events.OcultarCajas();
    // With no box open the window's own keys (Enter, the step keys) take over.
    frm->SetKeyPreview(true);
    navigating = false;
}

void grid::EditarCelda() {
    textChanged = false;
    if (!grd) return;
    const int row = grd->Row();
    if (grd->Rows() == 0 || row == 0 || row >= grd->Rows()) return;

    // Filling the box and scrolling must not count as the user's edits.
    const SuppressWrites quiet(writes_);

    // Only scroll up: a cell above the top row would put the box over the headers.
    while (grd->TopRow() > 1 && grd->RowPos(row) < grd->RowPos(grd->TopRow())) {
        const int top = grd->TopRow();
        grd->SetTopRow(top - 1);
        if (grd->TopRow() >= top) break;
    }

    const int col = grd->Col();
    // The extra pixel skips the cell's grid line.
    const float left = static_cast<float>(grd->Left()) +
                       static_cast<float>(grd->ColPos(col)) / kTwipsPerPixel + 1.0f;
    const float top = static_cast<float>(grd->Top()) +
                      static_cast<float>(grd->RowPos(row)) / kTwipsPerPixel + 1.0f;
    const float width = static_cast<float>(grd->ColWidth(col)) / kTwipsPerPixel;
    txtGrd->Move(left, top, width);

    txtGrd->SetText(grd->Text());
    // A cell explicitly set to black counts as uncoloured.
    const Colour back = grd->CellBackColor();
    txtGrd->SetBackColor(back != 0 ? back : grd->BackColor());
    txtGrd->SetVisible(true);
    txtGrd->BringToFront();
    // A box that cannot take the focus is simply left unfocused.
    // The previous box's focus-out, and its validation, run inside this call.
    if (frm->IsVisible()) txtGrd->SetFocus();

    txtGrd->SetSelStart(0);
    txtGrd->SetSelLength(CharCount(txtGrd->Text()));
}

void grid::EditarCombo(ListBox& list) {
    textChanged = false;
    if (!grd) return;
    const int row = grd->Row();
    const int col = grd->Col();
    // Twips added to the grid's position unconverted: right only for an owner
    // that lays out in twips.
    list.Move(static_cast<float>(grd->Left() + grd->ColPos(col) + 15),
              static_cast<float>(grd->Top() + grd->RowPos(row) + 15),
              static_cast<float>(grd->ColWidth(col)));

    {
    const SuppressWrites quiet(writes_);
    list.SetListIndex(-1);
    const std::string current = grd->Text();
    for (int i = 0; i < list.ListCount(); ++i) {
        if (list.List(i) == current) {
            list.SetListIndex(i);
            break;
        }
    }
    }

    list.SetVisible(true);
    if (frm->IsVisible() && list.IsEnabled()) list.SetFocus();
    list.BringToFront();
}

std::string grid::ColWidthKey(int col) const {
    return grd->Name() + "_colwidth" + DecimalText(col);
}

void grid::CargarColWidths() {
    if (!grd) return;
    for (int col = 0; col < grd->Cols(); ++col) {
        const std::string stored = settings_.GetSetting(
            kColumnWidthsApp, frm->Name(), ColWidthKey(col), DecimalText(grd->ColWidth(col)));
        // A damaged value must not make a column wider than the whole window.
        grd->SetColWidth(col, std::clamp(RoundToInt32(ReadNumber(stored)), 0, kMaxColWidth));
    }
}

void grid::SaveColWidths() {
    for (int col = 0; col < grd->Cols(); ++col)
        settings_.SaveSetting(kColumnWidthsApp, frm->Name(), ColWidthKey(col),
                              DecimalText(grd->ColWidth(col)));
}

void grid::SetTextColor(std::int16_t row, std::int16_t col, Colour color) {
    if (!grd) return;
    // The caller may hold a guard of its own (the live cell marking does).
    const SuppressWrites quiet(writes_);
    const int savedRow = grd->Row();
    const int savedCol = grd->Col();
    grd->SetRow(row);
    grd->SetCol(col);
    grd->SetCellForeColor(color);
    grd->SetRow(savedRow);
    grd->SetCol(savedCol);
}

void grid::Commit(bool& Cancel) {
    std::string text = txtGrd->Text();
    if (!textChanged) return;

    const int firstRow = grd->Row();
    const int lastRow = grd->RowSel();
    const int firstCol = grd->Col();
    const int lastCol = grd->ColSel();
    const int rowStep = StepTowards(firstRow, lastRow);
    const int colStep = StepTowards(firstCol, lastCol);
    const auto inRange = [](int value, int last, int step) {
        return step > 0 ? value <= last : value >= last;
    };

    // Every cell of the block is offered the value, whatever the owner answers
    // for the cells before it; the loop variables go to the owner by reference.
    if (events.CommitBlock) events.CommitBlock(true);
    for (std::int16_t row = ToInt16(firstRow); inRange(row, lastRow, rowStep);) {
        for (std::int16_t col = ToInt16(firstCol); inRange(col, lastCol, colStep);) {
            if (events.ValidarCelda) events.ValidarCelda(row, col, text, Cancel);
            // Online the ECU's echo rewrites the cells; writing them here would
            // show a value the ECU has not taken yet.
            if (!flags_.online) grd->SetTextMatrix(row, col, text);
            const int next = col + colStep;
            if (next != ToInt16(next)) break;
            col = static_cast<std::int16_t>(next);
        }
        const int next = row + rowStep;
        if (next != ToInt16(next)) break;
        row = static_cast<std::int16_t>(next);
    }
    if (events.CommitBlock) events.CommitBlock(false);
}

void grid::RaiseEditarCelda() {
    if (!events.EditarCelda) return;
    std::int16_t row = ToInt16(grd->Row());
    std::int16_t col = ToInt16(grd->Col());
    std::string valor = grd->Text();
    events.EditarCelda(row, col, valor);
}

void grid::LeaveCell(const std::function<void()>& moveCurrentCell) {
    bool cancel = false;
    Commit(cancel);
    OcultarCajas();
    {
        const SuppressWrites quiet(writes_);
        moveCurrentCell();
    }
    RaiseEditarCelda();
    navigating = true;
}

void grid::SiguienteCelda() {
    LeaveCell([this] {
        if (grd->Col() < grd->Cols() - 1) {
            grd->SetCol(grd->Col() + 1);
        } else if (grd->Row() < grd->Rows() - 1) {
            // Wrap to the first data column of the next row.
            grd->SetCol(grd->FixedCols());
            grd->SetRow(grd->Row() + 1);
        }
    });
}

void grid::BoxHandler::OnChange() {
    if (!g_.writes_.Suppressed()) g_.textChanged = true;
}

void grid::BoxHandler::OnKeyPress(int& keyAscii) {
    // Enter and Escape are handled on key-down; typed into the box they would beep.
    if (keyAscii == kKeyReturn || keyAscii == kKeyEscape) keyAscii = 0;
}

void grid::BoxHandler::OnKeyDown(int& keyCode) {
    EditBox& box = *g_.txtGrd;
    GridControl& grd = *g_.grd;
    if (keyCode == kKeyEscape) {
        g_.textChanged = false;
        g_.OcultarCajas();
    } else if (keyCode == kKeyReturn) {
        if (g_.navigating)
            g_.SiguienteCelda();
        else
            g_.frm->SendTab();
    } else if (keyCode == kKeyRight) {
        // Inside the text the arrow only moves the caret.
        if (box.SelLength() == 0 && box.SelStart() == CharCount(box.Text())) {
            g_.SiguienteCelda();
            keyCode = 0;
        }
    } else if (keyCode == kKeyLeft) {
        if (box.SelStart() == 0 && box.SelLength() == 0) {
            // The first data column is 1 whatever the grid's fixed columns.
            g_.LeaveCell([&grd] {
                if (grd.Col() >= 2) grd.SetCol(grd.Col() - 1);
            });
            keyCode = 0;
        }
    } else if (keyCode == kKeyUp) {
        g_.LeaveCell([&grd] {
            if (grd.Row() >= 2) grd.SetRow(grd.Row() - 1);
        });
        keyCode = 0;
    } else if (keyCode == kKeyDown) {
        g_.LeaveCell([&grd] {
            if (grd.Row() < grd.Rows() - 1) grd.SetRow(grd.Row() + 1);
        });
        keyCode = 0;
    }
}

void grid::BoxHandler::OnValidate(bool& cancel) {
    g_.Commit(cancel);
}

void grid::GridHandler::OnClick() {
    g_.navigating = true;
    GridControl& grd = *g_.grd;
    if (grd.RowSel() != 0 && grd.Rows() >= 2 && grd.RowHeight(grd.Row()) != 0 &&
        grd.Col() >= grd.FixedCols()) {
        g_.RaiseEditarCelda();
        // Opening the box took the focus from the grid, which cleared it.
        g_.navigating = true;
    }
}

void grid::GridHandler::OnLostFocus() {
    g_.navigating = false;
}

void grid::GridHandler::OnRowColChange() {
    if (g_.writes_.Suppressed()) return;
    g_.OcultarCajas();
    g_.RaiseEditarCelda();
}

void grid::GridHandler::OnScroll() {
    if (!g_.writes_.Suppressed()) g_.OcultarCajas();
}

void grid::WindowHandler::OnKeyDown(int& keyCode) {
    if (keyCode != kKeyReturn) return;
    if (g_.navigating)
        g_.SiguienteCelda();
    else
        g_.frm->SendTab();
}

void grid::WindowHandler::OnUnload() {
    g_.SaveColWidths();
}

} // namespace kavrin
