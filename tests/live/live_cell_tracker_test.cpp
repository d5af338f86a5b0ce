// The operating point in the maps: which fuel cell is tinted and where the
// two marker boxes go, from the last engine speed and throttle.
#include "live/live_cell_tracker.h"
#include "support/fake_controls.h"
#include "support/fake_grid_control.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

struct Marker final : FakeControl {
    void Move(int l, int t) override {
        left = l;
        top = t;
    }
    int left = -1, top = -1;
};

constexpr Colour kTint = Rgb(255, 208, 208);

struct Maps {
    Maps() {
        fuel.left = 280;
        fuel.top = 340;
        ignition.left = 280;
        ignition.top = 600;
        p.visible = p2.visible = false;
    }
    void Track(std::int32_t rpmCount, float throttle) {
        LastValues[0] = rpmCount;
        ThrottlePercent = throttle;
        tracker.TrackLiveCell();
    }

    FakeGridControl fuel{"grd_fuel", 12, 16};
    FakeGridControl ignition{"grd_ign", 2, 16};
    Marker p, p2;
    WindowState state;
    std::int16_t &LiveCol = state.LiveCol, &LiveRow = state.LiveRow;
    std::int16_t &MarkedCol = state.MarkedCol, &MarkedRow = state.MarkedRow;
    bool& singleCellSelected = state.maps.singleCellSelected;
    LiveValueStore& LastValues = state.LastValues;
    float& ThrottlePercent = state.ThrottlePercent;
    LinkFlags flags;
    MapGrids grids{&fuel, &ignition, nullptr, nullptr};
    LiveCellTracker tracker{grids, p, p2, state, flags};
};

TEST(LiveCellTracker, OperatingPointGivesCellAndMarkerPositions) {
    // Columns are 960 twips (64 px) wide and rows 240 twips (16 px) high; the
    // fuel grid stands at (280, 340), the ignition grid's top at 600.
    struct Case {
        std::int32_t rpmCount;
        float throttle;
        int col, row;
        int mx, my;
    };
    const Case cases[] = {
        {0, 0.0f, 1, 1, 282, 358},          // below 1024 counts: column 1, not 0
        {512, 24.0f, 1, 4, 314, 419},       // r = 3.84
        {1023, 6.25f, 1, 2, 346, 374},      // r = 1
        {2048, 50.0f, 2, 7, 410, 454},      // r = 8 -> 8 / 2 + 2 = 6
        {15360, 100.0f, 15, 11, 1242, 518}, // r = 10
    };
    for (const Case& k : cases) {
        Maps m;
        m.Track(k.rpmCount, k.throttle);
        SCOPED_TRACE(testing::Message() << k.rpmCount << " counts, " << k.throttle << " %");
        EXPECT_EQ(m.LiveCol, k.col);
        EXPECT_EQ(m.LiveRow, k.row);
        EXPECT_EQ(m.fuel.CellBackColorAt(k.row, k.col), kTint);
        EXPECT_EQ(m.MarkedRow, k.row);
        EXPECT_EQ(m.MarkedCol, k.col);
        EXPECT_EQ(m.p.left, k.mx);
        EXPECT_EQ(m.p.top, k.my);
        EXPECT_TRUE(m.p.visible);
        EXPECT_EQ(m.p2.left, k.mx);
        EXPECT_EQ(m.p2.top, 600 + 16 + 8);
        EXPECT_TRUE(m.p2.visible);
    }
}

TEST(LiveCellTracker, TintMovesWithTheOperatingPointAndLeavesTheUsersCellAlone) {
    Maps m;
    m.fuel.ClickCell(3, 4);
    m.Track(2048, 50.0f);
    m.Track(3072, 50.0f);
    EXPECT_EQ(m.fuel.CellBackColorAt(7, 2), 0u);
    EXPECT_EQ(m.fuel.CellBackColorAt(7, 3), kTint);
    EXPECT_EQ(m.fuel.Row(), 3);
    EXPECT_EQ(m.fuel.Col(), 4);
    EXPECT_EQ(m.fuel.RowSel(), 3);
    EXPECT_EQ(m.fuel.ColSel(), 4);
    EXPECT_FALSE(m.flags.suppressWrites);
}

TEST(LiveCellTracker, BlockSelectionStopsTheTintButNotTheMarkers) {
    Maps m;
    m.Track(2048, 50.0f);
    m.fuel.DragBlock(2, 2, 4, 5);
    m.singleCellSelected = false;
    m.Track(5120, 10.0f);
    EXPECT_EQ(m.fuel.CellBackColorAt(7, 2), kTint);
    EXPECT_EQ(m.fuel.CellBackColorAt(2, 5), 0u);
    EXPECT_EQ(m.p.left, 5 * 64 + 282);
    EXPECT_EQ(m.fuel.Row(), 2);
    EXPECT_EQ(m.fuel.ColSel(), 5);
    // One cell selected again: the tint follows once more.
    m.fuel.ClickCell(1, 1);
    m.singleCellSelected = true;
    m.Track(5120, 10.0f);
    EXPECT_EQ(m.fuel.CellBackColorAt(7, 2), 0u);
    EXPECT_EQ(m.fuel.CellBackColorAt(2, 5), kTint);
}

TEST(LiveCellTracker, PointBeyondTheMapKeepsTheLastTintedCell) {
    Maps m;
    m.Track(15360, 100.0f);
    m.Track(20480, 100.0f); // column 20 of 15
    EXPECT_EQ(m.LiveCol, 20);
    EXPECT_EQ(m.fuel.CellBackColorAt(11, 15), kTint);
    EXPECT_EQ(m.MarkedCol, 15);
    EXPECT_EQ(m.p.left, 20 * 64 + 282);
    m.Track(2048, 150.0f); // throttle far past THR MAX: row 15 of 11
    EXPECT_EQ(m.fuel.CellBackColorAt(11, 15), kTint);
}

TEST(LiveCellTracker, WildValuesKeepTheMarkersOnAPlaceTheScreenCanHold) {
    Maps m;
    m.Track(2'000'000'000, 1e30f);
    EXPECT_LE(m.p.left, 30000);
    EXPECT_LE(m.p.top, 30000);
    EXPECT_EQ(m.LiveRow, 32767);
}

} // namespace
} // namespace kavrin::test
