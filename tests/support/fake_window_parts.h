// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's parts with nothing behind them, for driving the whole window
// logic without Qt: a grid that keeps only its size and column widths, an
// editing box, the window shell (menu, dialogs, chart) and the status panel.
#include "base/edit_box.h"
#include "base/file_dialogs.h"
#include "base/grid_control.h"
#include "base/language_menu.h"
#include "base/owner_window.h"
#include "base/controls.h"
#include "live/channels.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kavrin::test {

// A grid of the size it is told, holding no texts.
struct Grid final : GridControl {
    explicit Grid(std::string n) : name(std::move(n)) {}
    int Rows() const override { return rows; }
    void SetRows(int r) override { rows = std::max(r, 0); }
    int Cols() const override { return cols; }
    void SetCols(int c) override { cols = std::max(c, 0); }
    int FixedRows() const override { return 1; }
    int FixedCols() const override { return 1; }
    int TopRow() const override { return 1; }
    void SetTopRow(int) override {}
    int Row() const override { return row; }
    void SetRow(int r) override { row = r; }
    int Col() const override { return col; }
    void SetCol(int c) override { col = c; }
    int RowSel() const override { return row; }
    void SetRowSel(int) override {}
    int ColSel() const override { return col; }
    void SetColSel(int) override {}
    std::string Text() const override { return {}; }
    void SetText(const std::string&) override {}
    std::string TextMatrix(int, int) const override { return {}; }
    void SetTextMatrix(int, int, const std::string&) override {}
    int ColWidth(int c) const override { return widths.count(c) ? widths.at(c) : 650; }
    void SetColWidth(int c, int twips) override { widths[c] = twips; }
    int RowHeight(int) const override { return 240; }
    int RowPos(int r) const override { return r * 240; }
    int ColPos(int c) const override { return c * 650; }
    Colour CellBackColor() const override { return 0; }
    Colour CellBackColorAt(int, int) const override { return 0; }
    void SetCellBackColor(Colour) override {}
    Colour CellForeColor() const override { return 0; }
    void SetCellForeColor(Colour) override {}
    Colour BackColor() const override { return 0; }
    void SetBackColor(Colour) override {}
    std::string Name() const override { return name; }
    int Left() const override { return 0; }
    int Top() const override { return 0; }
    void SetVisible(bool) override {}
    bool IsVisible() const override { return true; }
    void AddListener(GridListener*) override {}
    void RemoveListener(GridListener*) override {}
    std::string name;
    int rows = 2, cols = 2, row = 1, col = 1;
    std::map<int, int> widths;
};

struct Box final : EditBox {
    std::string Text() const override { return text; }
    void SetText(const std::string& t) override { text = t; }
    int SelStart() const override { return 0; }
    void SetSelStart(int) override {}
    int SelLength() const override { return 0; }
    void SetSelLength(int) override {}
    void SetBackColor(Colour) override {}
    bool Visible() const override { return visible; }
    void SetVisible(bool v) override { visible = v; }
    void BringToFront() override {}
    bool SetFocus() override { return true; }
    void Move(float, float, float) override {}
    void AddListener(EditBoxListener*) override {}
    void RemoveListener(EditBoxListener*) override {}
    std::string text;
    bool visible = false;
};

// The window itself, its status panel, language menu, file dialogs and chart.
struct Shell final : OwnerWindow, LanguageMenu, FileDialogs, LiveChart {
    std::string Name() const override { return "frmKAVRIN"; }
    bool IsVisible() const override { return true; }
    void SetKeyPreview(bool) override {}
    bool KeyPreview() const override { return true; }
    void SendTab() override {}
    void AddListener(OwnerWindowListener* l) override { listeners.push_back(l); }
    void RemoveListener(OwnerWindowListener* l) override { std::erase(listeners, l); }
    void SetEntries(const std::vector<std::string>&) override {}
    void SetChecked(int, bool) override {}
    std::optional<std::string> ChooseOpenFile(const std::string&) override { return {}; }
    std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&) override {
        return {};
    }
    void PlotPoint(std::int16_t, float, Colour, bool) override {}
    void Advance() override {}
    std::vector<OwnerWindowListener*> listeners;
};
struct Panel final : ConnectionPanel {
    void SetText(const std::string&) override {}
    std::string Text() const override { return {}; }
    void SetForeColour(Colour) override {}
    void SetBackColour(Colour) override {}
    void SetVisible(bool) override {}
    bool IsVisible() const override { return true; }
    void SetConnectedPicture(bool) override {}
};

} // namespace kavrin::test
