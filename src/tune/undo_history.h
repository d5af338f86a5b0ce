// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Undo and redo of the user's changes to the configuration. A step is
// everything one user action changed (a typed cell, a block fill, a loaded
// file, an EFI factor with the rescale that follows it), named for the menu,
// with every byte before and after. The bytes are the window's values
// (ByteOwnership::WindowSnapshot): online the image lags behind the writes
// until their echoes come, so undo restores what the step wrote over, not
// what the image held.
//
// A plain history rather than QUndoStack: it belongs to the window logic,
// which includes no widget headers and is tested without a screen, and its
// steps are data (bytes to write) that the window issues through
// WriteConfigByte, online or offline. Nothing in it depends on the link, so it
// survives a reconnect.
#include "tune/config_snapshot.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kavrin {

struct ByteChange {
    std::int16_t index = 0;
    std::uint8_t before = 0;
    std::uint8_t after = 0;
    bool operator==(const ByteChange&) const = default;
};

struct UndoStep {
    std::string name;
    ConfigDimensions dims; // the layout the bytes belong to
    std::vector<ByteChange> changes;
    // A step that laid the configuration out anew (a file of other
    // dimensions, the ECU's of another layout): undo lays the old layout out
    // again and writes all of its bytes; redo the same with the new one.
    std::optional<ConfigSnapshot> relaidFrom;
    std::optional<ConfigSnapshot> relaidTo;
};

// What the window does to undo or redo a step: lay the image out with new
// dimensions first (SizeConfig) when asked, then write every byte in order
// through WriteConfigByte.
struct HistoryAction {
    std::string name;
    std::optional<ConfigDimensions> layOut;
    std::vector<ByteWrite> writes;
};

class UndoHistory {
public:
    // The window's configuration as it holds it now.
    using SnapshotSource = std::function<ConfigSnapshot()>;
    static constexpr std::size_t kDefaultCapacity = 1000;

    explicit UndoHistory(SnapshotSource windowValues, std::size_t capacity = kDefaultCapacity);

    // A step runs from BeginStep to EndStep, around the handler of one user
    // action. Steps begun inside a step join it (each cell of a block fill
    // runs the cell handler, which begins its own). The outermost name is the
    // step's; SetStepName renames it while it runs (the EFI factor, when its
    // rescale was accepted). A step that changed nothing is not kept.
    void BeginStep(std::string name);
    void SetStepName(std::string name);
    void EndStep();
    bool InStep() const { return depth_ > 0; }

    // One step for the life of a scope.
    class Step {
    public:
        Step(UndoHistory& history, std::string name) : history_(history) {
            history_.BeginStep(std::move(name));
        }
        ~Step() { history_.EndStep(); }
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

    private:
        UndoHistory& history_;
    };

    bool CanUndo() const { return cursor_ > 0; }
    bool CanRedo() const { return cursor_ < steps_.size(); }
    // For the menu: "Undo " + UndoName().
    std::string UndoName() const;
    std::string RedoName() const;
    // Empty actions when there is nothing to undo or redo. Writes never carry
    // an index outside the window's configuration as it is laid out then.
    HistoryAction Undo();
    HistoryAction Redo();

    // Keeps a step made elsewhere; the steps after the current one are dropped,
    // and the oldest when the history is full.
    void Push(UndoStep step);
    std::size_t Size() const { return steps_.size(); }
    void Clear();

private:
    HistoryAction Action(const UndoStep& step, bool undo) const;

    SnapshotSource windowValues_;
    std::size_t capacity_;
    std::deque<UndoStep> steps_;
    std::size_t cursor_ = 0; // steps before it can be undone, from it on redone
    int depth_ = 0;
    std::string stepName_;
    ConfigSnapshot stepBefore_;
};

} // namespace kavrin
