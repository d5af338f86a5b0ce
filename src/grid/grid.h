// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The in-place cell editor: turns a grid control that cannot be typed into,
// plus one text box, into an editable table. It knows nothing of what the
// cells mean and asks its owner through events whose by-reference arguments
// the owner may rewrite.
#include "base/controls.h"
#include "base/edit_box.h"
#include "base/grid_control.h"
#include "base/list_box.h"
#include "base/owner_window.h"
#include "base/settings_store.h"
#include "base/write_suppression.h"
#include "link/link_state.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kavrin {

class grid {
public:
    struct Events {
        // A cell receives the typed value. Whatever the owner leaves in valor is
        // written into the cell and offered to the following cells of the block;
        // Cancel keeps the focus in the box.
        std::function<void(std::int16_t& row, std::int16_t& col, std::string& valor, bool& Cancel)>
            ValidarCelda;
        // The current cell is about to be edited; the owner answers by calling
        // EditarCelda().
        std::function<void(std::int16_t& row, std::int16_t& col, std::string& valor)> EditarCelda;
        // The box has just been hidden.
        std::function<void()> OcultarCajas;
        // A typed value is offered to the cells of the block: before the
        // first (true) and after the last (false).
        std::function<void(bool starts)> CommitBlock;
    };

    // flags are the window's shared link flags; settings hold the column widths.
    grid(const LinkFlags& flags, WriteSuppression& writes, SettingsStore& settings);
    ~grid();
    grid(const grid&) = delete;
    grid& operator=(const grid&) = delete;

    Events events;

    // Binds the owner window, the grid and the box, and listens to their events;
    // the editor starts idle. The three must outlive the editor.
    void inicializar(OwnerWindow& owner, GridControl& control, EditBox& box);
    void OcultarCajas();
    // Opens the box on the grid's current cell.
    void EditarCelda();
    // Opens a list of fixed choices on the current cell instead of the box.
    void EditarCombo(ListBox& list);
    // Restores the stored widths, each limited to 0..kMaxColWidth.
    void CargarColWidths();
    static constexpr int kMaxColWidth = 15120; // twips: the main window's width
    void SetTextColor(std::int16_t row, std::int16_t col, Colour color);

private:
    class BoxHandler final : public EditBoxListener {
    public:
        explicit BoxHandler(grid& g) : g_(g) {}
        void OnChange() override;
        void OnKeyPress(int& keyAscii) override;
        void OnKeyDown(int& keyCode) override;
        void OnValidate(bool& cancel) override;

    private:
        grid& g_;
    };
    class GridHandler final : public GridListener {
    public:
        explicit GridHandler(grid& g) : g_(g) {}
        void OnClick() override;
        void OnLostFocus() override;
        void OnRowColChange() override;
        void OnScroll() override;

    private:
        grid& g_;
    };
    class WindowHandler final : public OwnerWindowListener {
    public:
        explicit WindowHandler(grid& g) : g_(g) {}
        void OnKeyDown(int& keyCode) override;
        void OnUnload() override;

    private:
        grid& g_;
    };

    void Detach();
    void Commit(bool& Cancel);
    void SiguienteCelda();
    // Commit, hide, move the current cell by program and open the new cell.
    void LeaveCell(const std::function<void()>& moveCurrentCell);
    void RaiseEditarCelda();
    void SaveColWidths();
    std::string ColWidthKey(int col) const;

    const LinkFlags& flags_;
    WriteSuppression& writes_;
    SettingsStore& settings_;
    OwnerWindow* frm = nullptr;
    GridControl* grd = nullptr;
    EditBox* txtGrd = nullptr;
    bool textChanged = false;
    bool navigating = false;
    BoxHandler boxHandler_{*this};
    GridHandler gridHandler_{*this};
    WindowHandler windowHandler_{*this};
};

} // namespace kavrin
