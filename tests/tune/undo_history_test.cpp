// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo write back exactly the bytes a step wrote over, online where
// the image lags behind the writes, as one step for a whole block.
#include "tune/byte_ownership.h"
#include "tune/undo_history.h"

#include <gtest/gtest.h>

#include <vector>

namespace kavrin {
namespace {

// The window's side of WriteConfigByte: offline into the image, online only
// a message whose echo comes later.
struct Window {
    Configuration config;
    ByteOwnership ownership{config};
    UndoHistory history{[this] { return ownership.WindowSnapshot(config); }};
    bool online = false;

    Window() {
        config.SizeImage();
        ownership.Reset(config);
    }
    void WriteConfigByte(int index, int value) {
        const auto v = static_cast<std::uint8_t>(value);
        if (online) {
            ownership.OnlineWriteSent(index, v);
        } else {
            config.ConfigImage.Set(index, v);
            ownership.OfflineWrite(index, v);
        }
    }
    void Apply(const HistoryAction& action) {
        if (action.layOut) {
            action.layOut->ApplyTo(config);
            ownership.Reset(config);
        }
        for (const ByteWrite& w : action.writes) WriteConfigByte(w.index, w.value);
    }
    // The grid editor's commit of a selection: each cell's handler opens a
    // step of its own inside the block's.
    void FillBlock(const std::vector<int>& cells, int value) {
        UndoHistory::Step block(history, "block fill");
        for (int index : cells) {
            UndoHistory::Step cell(history, "fuel map cell");
            WriteConfigByte(index, value);
        }
    }
};

TEST(UndoHistory, ABlockFillOnlineIsOneStepAndUndoWritesWhatItWroteOver) {
    Window w;
    for (int i = 0; i < 3; ++i) w.config.ConfigImage.Set(i, 10); // from the ECU
    w.online = true;
    {
        UndoHistory::Step typed(w.history, "fuel map cell");
        w.WriteConfigByte(1, 20); // sent, its echo not come: the image still holds 10
    }
    w.FillBlock({0, 1, 2}, 30);
    EXPECT_EQ(w.history.Size(), 2u);
    EXPECT_EQ(w.history.UndoName(), "block fill");

    const HistoryAction undo = w.history.Undo();
    EXPECT_EQ(undo.writes, (std::vector<ByteWrite>{{2, 10}, {1, 20}, {0, 10}}))
        << "cell 1 goes back to the 20 written before, not the image's 10";
    EXPECT_FALSE(undo.layOut);
    w.Apply(undo);
    EXPECT_EQ(w.history.RedoName(), "block fill");
    EXPECT_EQ(w.history.Redo().writes, (std::vector<ByteWrite>{{0, 30}, {1, 30}, {2, 30}}));
    EXPECT_FALSE(w.history.CanRedo());

    // A new step after an undo drops what could be redone.
    w.history.Undo();
    w.history.Undo();
    {
        UndoHistory::Step typed(w.history, "ignition map cell");
        w.WriteConfigByte(170, 5);
    }
    EXPECT_FALSE(w.history.CanRedo());
    EXPECT_EQ(w.history.Size(), 1u);
    // A step that changes nothing is not kept.
    {
        UndoHistory::Step same(w.history, "ignition map cell");
        w.WriteConfigByte(170, 5);
    }
    EXPECT_EQ(w.history.Size(), 1u);
}

TEST(UndoHistory, KeepsTheNewestThousandStepsAndUndoesALayoutChangeWhole) {
    Window w;
    for (int n = 0; n < 1005; ++n) {
        UndoHistory::Step step(w.history, "cell " + std::to_string(n));
        w.WriteConfigByte(n % 200, n % 256 + (n % 256 == 0));
    }
    int undone = 0;
    while (w.history.CanUndo()) {
        w.history.Undo();
        ++undone;
    }
    EXPECT_EQ(undone, 1000);

    // A file of other dimensions: undo lays the old layout out and writes all of it.
    Window f;
    f.config.ConfigImage.Set(3, 33);
    {
        UndoHistory::Step load(f.history, "load file");
        Configuration wide;
        wide.MapCols = 16;
        wide.SizeImage();
        ConfigDimensions::Of(wide).ApplyTo(f.config);
        f.ownership.Reset(f.config);
        f.WriteConfigByte(3, 44);
    }
    const HistoryAction undo = f.history.Undo();
    ASSERT_TRUE(undo.layOut);
    EXPECT_EQ(*undo.layOut, ConfigDimensions::Start());
    ASSERT_EQ(undo.writes.size(), 214u);
    EXPECT_EQ(undo.writes[3], (ByteWrite{3, 33}));
    f.Apply(undo);
    EXPECT_EQ(f.config.ImageLast, 214);
    EXPECT_EQ(f.history.Redo().layOut->MapCols, 16);

    // Steps made elsewhere never carry an index outside their layout.
    UndoStep odd;
    odd.dims = ConfigDimensions::Start();
    odd.changes = {{-1, 0, 1}, {214, 0, 1}, {300, 0, 1}, {7, 0, 1}};
    f.history.Push(odd);
    EXPECT_EQ(f.history.Undo().writes, (std::vector<ByteWrite>{{7, 0}}));
}

} // namespace
} // namespace kavrin
