// SPDX-License-Identifier: GPL-3.0-or-later
#include "tune/undo_history.h"

#include <algorithm>
#include <utility>

namespace kavrin {

UndoHistory::UndoHistory(SnapshotSource windowValues, std::size_t capacity)
    : windowValues_(std::move(windowValues)), capacity_(std::max<std::size_t>(capacity, 1)) {}

void UndoHistory::BeginStep(std::string name) {
    if (depth_++ > 0) return;
    stepName_ = std::move(name);
    stepBefore_ = windowValues_();
}

void UndoHistory::SetStepName(std::string name) {
    if (depth_ > 0) stepName_ = std::move(name);
}

void UndoHistory::EndStep() {
    if (depth_ == 0 || --depth_ > 0) return;
    ConfigSnapshot after = windowValues_();
    UndoStep step;
    step.name = std::move(stepName_);
    step.dims = after.dims;
    if (after.dims != stepBefore_.dims || after.bytes.size() != stepBefore_.bytes.size()) {
        step.relaidFrom = std::move(stepBefore_);
        step.relaidTo = std::move(after);
    } else {
        for (std::size_t i = 0; i < after.bytes.size(); ++i)
            if (after.bytes[i] != stepBefore_.bytes[i])
                step.changes.push_back(
                    {static_cast<std::int16_t>(i), stepBefore_.bytes[i], after.bytes[i]});
        if (step.changes.empty()) return;
    }
    Push(std::move(step));
}

void UndoHistory::Push(UndoStep step) {
    // Bytes outside the layout's configuration cannot be written back.
    const int bytes = step.dims.ConfigBytes();
    std::erase_if(step.changes,
                  [bytes](const ByteChange& c) { return c.index < 0 || c.index >= bytes; });
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(cursor_), steps_.end());
    steps_.push_back(std::move(step));
    if (steps_.size() > capacity_) steps_.pop_front();
    cursor_ = steps_.size();
}

void UndoHistory::Clear() {
    steps_.clear();
    cursor_ = 0;
}

std::string UndoHistory::UndoName() const {
    return CanUndo() ? steps_[cursor_ - 1].name : std::string();
}

std::string UndoHistory::RedoName() const {
    return CanRedo() ? steps_[cursor_].name : std::string();
}

HistoryAction UndoHistory::Undo() {
    if (!CanUndo()) return {};
    --cursor_;
    return Action(steps_[cursor_], true);
}

HistoryAction UndoHistory::Redo() {
    if (!CanRedo()) return {};
    return Action(steps_[cursor_++], false);
}

HistoryAction UndoHistory::Action(const UndoStep& step, bool undo) const {
    HistoryAction action;
    action.name = step.name;
    if (step.relaidFrom && step.relaidTo) {
        const ConfigSnapshot& target = undo ? *step.relaidFrom : *step.relaidTo;
        action.layOut = target.dims;
        for (std::size_t i = 0; i < target.bytes.size(); ++i)
            action.writes.push_back({static_cast<std::int16_t>(i), target.bytes[i]});
        return action;
    }
    // Every step that changed the layout is in the history, so the layout is
    // the step's again when its turn comes; the bound holds whatever happens.
    const auto bytes = static_cast<std::int16_t>(windowValues_().bytes.size());
    auto add = [&](const ByteChange& c) {
        if (c.index < bytes) action.writes.push_back({c.index, undo ? c.before : c.after});
    };
    // Undone last change first, so a byte written twice ends as it was.
    if (undo)
        std::for_each(step.changes.rbegin(), step.changes.rend(), add);
    else
        std::for_each(step.changes.begin(), step.changes.end(), add);
    return action;
}

} // namespace kavrin
