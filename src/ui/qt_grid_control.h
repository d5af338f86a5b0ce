// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cell grid of the map tables. Drawn by hand on a scroll area rather than
// built on QTableWidget: the header row and column are ordinary cells that must
// hold text and stay put while the rest scrolls by whole rows, the logic wants
// every position in twips from one fixed pixel grid, the selection keeps its
// anchor as the current cell, and the cells must never open an editor of their
// own.
#include "base/grid_control.h"
#include "base/listener_list.h"
#include "ui/number_glyphs.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QRect>
#include <QString>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kavrin {

class QtGridControl final : public QAbstractScrollArea, public GridControl {
    Q_OBJECT
public:
    static constexpr int kDefaultColWidth = 960; // twips
    static constexpr Colour kSelectionColour = Rgb(96, 96, 255);
    static constexpr Colour kGridLineColour = Rgb(192, 192, 192);
    static constexpr Colour kOutsideColour = Rgb(128, 128, 128);

    // name is the control's name in its window ("grd_fuel"); it keys the
    // stored column widths.
    explicit QtGridControl(std::string name, QWidget* parent = nullptr);

    int Rows() const override { return rows_; }
    void SetRows(int rows) override;
    int Cols() const override { return cols_; }
    void SetCols(int cols) override;
    int FixedRows() const override { return fixedRows_; }
    int FixedCols() const override { return fixedCols_; }

    int TopRow() const override { return topRow_; }
    void SetTopRow(int row) override;

    int Row() const override { return row_; }
    void SetRow(int row) override;
    int Col() const override { return col_; }
    void SetCol(int col) override;
    int RowSel() const override { return rowSel_; }
    void SetRowSel(int row) override;
    int ColSel() const override { return colSel_; }
    void SetColSel(int col) override;

    std::string Text() const override { return TextMatrix(row_, col_); }
    void SetText(const std::string& text) override { SetTextMatrix(row_, col_, text); }
    std::string TextMatrix(int row, int col) const override;
    void SetTextMatrix(int row, int col, const std::string& text) override;

    int ColWidth(int col) const override;
    void SetColWidth(int col, int twips) override;
    int RowHeight(int row) const override;
    void SetRowHeight(int row, int twips);
    int RowPos(int row) const override;
    int ColPos(int col) const override;

    Colour CellBackColor() const override;
    Colour CellBackColorAt(int row, int col) const override;
    void SetCellBackColor(Colour colour) override;
    Colour CellForeColor() const override;
    void SetCellForeColor(Colour colour) override;
    Colour BackColor() const override { return backColour_; }
    void SetBackColor(Colour colour) override;

    std::string Name() const override { return name_; }
    int Left() const override;
    int Top() const override;
    void SetVisible(bool visible) override { setVisible(visible); }
    bool IsVisible() const override { return !isHidden(); }
    void BringToFront() override { raise(); }

    void AddListener(GridListener* listener) override { listeners_.Add(listener); }
    void RemoveListener(GridListener* listener) override { listeners_.Remove(listener); }

    // What a cell is drawn with, and where, in pixels of the control.
    QColor ShownBackground(int row, int col) const;
    QColor ShownTextColour(int row, int col) const;
    QRect CellRect(int row, int col) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct CellData {
        QString text;
        Colour back = 0;
        Colour fore = 0;
    };
    // Which part of the grid a mouse drag selects.
    enum class Drag { None, Cells, Rows, Cols, All };

    CellData* Cell(int row, int col);
    const CellData* Cell(int row, int col) const;
    void Resize();
    int ColPixels(int col) const;
    int RowPixels(int row) const;
    int ColX(int col) const;
    int RowY(int row) const;
    int LastTopRow() const;
    int LastLeftCol() const;
    void UpdateScrollBars();
    std::vector<int> ShownRows() const;
    std::vector<int> ShownCols() const;
    std::optional<std::pair<int, int>> CellAt(const QPoint& point) const;
    bool IsSelected(int row, int col) const;
    // Moves the current cell and the far corner of the block, raising the
    // events of what changed.
    void Select(int row, int col, int rowSel, int colSel);
    void DragTo(int row, int col);
    void EnsureVisible(int row, int col);

    std::string name_;
    int rows_ = 2;
    int cols_ = 2;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    int topRow_ = 1;
    int leftCol_ = 1;
    int row_ = 1;
    int col_ = 1;
    int rowSel_ = 1;
    int colSel_ = 1;
    int defaultRowHeight_ = 240; // twips
    Colour backColour_ = 0;
    std::vector<std::vector<CellData>> cells_;
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    ListenerList<GridListener> listeners_;
    Drag drag_ = Drag::None;
    bool pressed_ = false;
    NumberGlyphs glyphs_; // the cells' numbers, drawn without laying them out
};

} // namespace kavrin
