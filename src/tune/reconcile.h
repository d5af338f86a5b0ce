// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a good dump does to the window's configuration. It replaces it without
// a word only when nothing would be lost: nothing of the user's differs from
// it, and the ECU did not change since the window last knew its
// configuration. Otherwise the bytes in question wait for the user's choice
// (the difference report), and everything else is taken from the dump.
#include "config/config_image.h"
#include "tune/byte_ownership.h"
#include "tune/config_snapshot.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kavrin {

struct ByteDifference {
    std::int16_t index = 0;
    std::uint8_t window = 0;   // the window's value
    std::uint8_t ecu = 0;      // the dump's
    bool mine = false;         // the user's own
    bool changedOnEcu = false; // the ECU's value changed since the window last knew it
    bool operator==(const ByteDifference&) const = default;
};

struct ReconcileResult {
    // False: take the dump silently (TakeDump).
    bool report = false;
    // The window's layout is not the ECU's (a loaded file's "format=" or
    // "size="): the configurations cannot be compared byte by byte, and the
    // whole configuration is in question.
    bool dimensionsDiffer = false;
    // The ECU's configuration changed since the window last knew it.
    bool changedOnEcu = false;
    ConfigDimensions windowDimensions;
    // How the dump is laid out, when that can be told.
    std::optional<ConfigDimensions> ecuDimensions;
    std::vector<std::uint8_t> dump; // as received, check byte last
    // The window's image (ImageLast + 1 bytes) with every byte not in
    // question taken from the dump: kept while the report is open.
    std::vector<std::uint8_t> merged;
    std::vector<ByteDifference> differences; // empty when dimensionsDiffer
    // "Send mine to the ECU": every differing byte with the window's value
    // (after a change on the ECU, every byte that changed there too); with
    // other dimensions, every byte of the window's that is the user's or known.
    std::vector<ByteWrite> sendMine;
};

ReconcileResult Reconcile(const Configuration& window, const ByteOwnership& ownership,
                          std::span<const std::uint8_t> dump);

// The three ways a reconciliation ends. Each leaves the image, its fuel scale
// and pulses and the ownership as they must be; the window then refreshes
// (ShowConfig, and LayoutMaps when the layout changed).

// A silent take or "Use the ECU's": the window takes the dump, laid out as
// the ECU's when the layouts differ. True when the layout changed (the grids
// are resized).
bool TakeDump(const ReconcileResult& result, Configuration& window, ByteOwnership& ownership);
// The report opens: the bytes not in question are taken from the dump.
void KeepMerged(const ReconcileResult& result, Configuration& window);
// The report was closed without a choice: the window keeps its version and
// every difference becomes the user's own (the status panel counts it).
void KeepWindowVersion(const ReconcileResult& result, ByteOwnership& ownership);
// "Send mine to the ECU": the dump is what the ECU holds; the window then
// writes result.sendMine through WriteConfigByte, which marks them the user's
// until their echoes come.
void PrepareSendMine(const ReconcileResult& result, ByteOwnership& ownership);

} // namespace kavrin
