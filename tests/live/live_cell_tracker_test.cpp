// SPDX-License-Identifier: GPL-3.0-or-later
// The operating point in the maps, on the real fuel grid: which cell is
// tinted and where the two marker boxes go, one tick after another.
#include "live/live_cell_tracker.h"
#include "support/fake_controls.h"
#include "support/qt_application.h"
#include "ui/qt_grid_control.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <utility>

namespace kavrin::test {
namespace {

struct Marker final : FakeControl {
    void Move(int left, int top) override { at = {left, top}; }
    std::pair<int, int> at;
};

TEST(LiveCellTracker, OperatingPointGivesCellTintAndMarkers) {
    // Columns of 64 px, rows of 16 px whatever the font; the fuel grid at (280, 340), the
    // ignition grid's top at 600. The user's current cell is (3, 8).
    QWidget window;
    QtGridControl fuel{"grd_fuel", &window}, ign{"grd_ign", &window};
    fuel.SetRows(12);
    fuel.SetCols(16);
    fuel.setGeometry(280, 340, 1100, 220);
    ign.SetCols(16);
    for (QtGridControl* grid : {&fuel, &ign})
        for (int row = 0; row < 12; ++row) grid->SetRowHeight(row, 240);
    ign.move(280, 600);
    fuel.SetRow(3);
    fuel.SetCol(8);
    Marker p, p2;
    WindowState state;
    const MapGrids grids{&fuel, &ign, nullptr, nullptr};
    LiveCellTracker tracker{grids, p, p2, state};

    struct Case {
        std::int32_t rpmCount;
        float throttle;
        int col, row;         // the operating point
        int tintRow, tintCol; // the one tinted cell
        int mx, my;
    };
    const Case cases[] = {
        {0, 0.0f, 1, 1, 1, 1, 282, 358},
        {512, 24.0f, 1, 4, 4, 1, 314, 419},         // below 1024 counts: column 1; r = 3.84
        {2048, 50.0f, 2, 7, 7, 2, 410, 454},        // r = 8 / 2 + 2 = 6
        {15360, 100.0f, 15, 11, 11, 15, 1242, 518}, // r = 10
        {20480, 100.0f, 20, 11, 11, 15, 1562, 518}, // beyond the last column: the tint stays
        {2048, 150.0f, 2, 15, 11, 15, 410, 582},    // beyond the last row
        {2'000'000'000, 1e30f, 32767, 32767, 11, 15, 30000, 30000}, // still a place on screen
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.rpmCount << " counts, " << k.throttle << " %");
        state.LastValues[0] = k.rpmCount;
        state.ThrottlePercent = k.throttle;
        p.visible = p2.visible = false;
        tracker.TrackLiveCell();
        EXPECT_EQ(state.LiveCol, k.col);
        EXPECT_EQ(state.LiveRow, k.row);
        int tinted = 0;
        for (int row = 1; row < 12; ++row)
            for (int col = 1; col < 16; ++col)
                tinted += fuel.ShownBackground(row, col) == QColor(255, 208, 208);
        EXPECT_EQ(tinted, 1);
        EXPECT_EQ(fuel.ShownBackground(k.tintRow, k.tintCol), QColor(255, 208, 208));
        EXPECT_EQ(p.at, std::pair(k.mx, k.my));
        EXPECT_EQ(p2.at, std::pair(k.mx, 600 + 16 + 8));
        EXPECT_TRUE(p.visible && p2.visible);
        EXPECT_EQ(std::pair(fuel.Row(), fuel.Col()), std::pair(3, 8)) << "the user's cell stays";
    }
}

} // namespace
} // namespace kavrin::test
