// SPDX-License-Identifier: GPL-3.0-or-later
#include "tune/reconcile.h"

#include <algorithm>

namespace kavrin {

namespace {

// A dump carries its length, not its layout: it is read with the layout of
// the last dump taken, the window's, or the one the window starts with,
// whichever gives its length. Before the first dump a file of the same length
// but another shape cannot be told apart.
std::optional<ConfigDimensions> EcuLayout(const ConfigDimensions& window,
                                          const ByteOwnership& ownership, int dumpConfigBytes) {
    if (ownership.HasEcuConfiguration() &&
        ownership.EcuDimensions().ConfigBytes() == dumpConfigBytes)
        return ownership.EcuDimensions();
    if (window.ConfigBytes() == dumpConfigBytes) return window;
    if (ConfigDimensions::Start().ConfigBytes() == dumpConfigBytes)
        return ConfigDimensions::Start();
    return std::nullopt;
}

// The dump's bytes over the image from index 0 on, as far as both go.
void StoreDump(std::span<const std::uint8_t> dump, Configuration& window) {
    const int n = std::min<int>(static_cast<int>(dump.size()), window.ImageLast + 1);
    for (int p = 0; p < n; ++p) window.ConfigImage.Set(p, dump[static_cast<std::size_t>(p)]);
}

void Recompute(Configuration& window) {
    window.UpdateFuelScale();
    window.RecomputeFuelPulses();
    window.RecolourFuel = true;
}

} // namespace

ReconcileResult Reconcile(const Configuration& window, const ByteOwnership& ownership,
                          std::span<const std::uint8_t> dump) {
    ReconcileResult r;
    r.windowDimensions = ConfigDimensions::Of(window);
    r.dump.assign(dump.begin(), dump.end());
    const ConfigSnapshot held = ownership.WindowSnapshot(window);
    const int configBytes = static_cast<int>(held.bytes.size());
    const int dumpConfigBytes = std::max(static_cast<int>(dump.size()) - 1, 0);
    r.ecuDimensions = EcuLayout(r.windowDimensions, ownership, dumpConfigBytes);
    r.dimensionsDiffer = dumpConfigBytes != configBytes ||
                         (r.ecuDimensions && *r.ecuDimensions != r.windowDimensions);

    r.merged.assign(held.bytes.begin(), held.bytes.end());
    r.merged.push_back(window.ConfigImage[configBytes]);

    if (r.dimensionsDiffer) {
        // With nothing of the user's there is nothing to lose.
        r.report = ownership.AnyMine();
        // A byte never known holds nothing the ECU should be sent.
        for (int i = 0; i < configBytes; ++i)
            if (ownership.IsMine(i) || ownership.IsKnown(i))
                r.sendMine.push_back({static_cast<std::int16_t>(i), held.bytes[i]});
        return r;
    }

    for (int i = 0; i < configBytes; ++i) {
        const std::uint8_t ecu = dump[static_cast<std::size_t>(i)];
        const std::uint8_t windowValue = held.bytes[static_cast<std::size_t>(i)];
        const bool mine = ownership.IsMine(i);
        const bool changed = ownership.IsKnown(i) && ecu != ownership.EcuValue(i);
        r.changedOnEcu = r.changedOnEcu || changed;
        if ((mine || changed) && windowValue != ecu) {
            const auto index = static_cast<std::int16_t>(i);
            r.differences.push_back({index, windowValue, ecu, mine, changed});
            r.sendMine.push_back({index, windowValue});
        } else {
            r.merged[static_cast<std::size_t>(i)] = ecu;
        }
    }
    r.merged[static_cast<std::size_t>(configBytes)] = dump[static_cast<std::size_t>(configBytes)];
    r.report = !r.differences.empty();
    return r;
}

bool TakeDump(const ReconcileResult& result, Configuration& window, ByteOwnership& ownership) {
    bool relaid = false;
    if (result.dimensionsDiffer && result.ecuDimensions &&
        *result.ecuDimensions != ConfigDimensions::Of(window)) {
        result.ecuDimensions->ApplyTo(window);
        ownership.Reset(window);
        relaid = true;
    }
    // A dump whose layout cannot be told is stored as far as it fits, in the
    // window's layout.
    StoreDump(result.dump, window);
    Recompute(window);
    ownership.DumpTaken(result.dump, ConfigDimensions::Of(window));
    return relaid;
}

void KeepMerged(const ReconcileResult& result, Configuration& window) {
    StoreDump(result.merged, window);
    Recompute(window);
}

void KeepWindowVersion(const ReconcileResult& result, ByteOwnership& ownership) {
    ownership.DumpTaken(result.dump, result.ecuDimensions.value_or(ownership.Dimensions()));
    for (const ByteWrite& w : result.sendMine) ownership.OfflineWrite(w.index, w.value);
}

void PrepareSendMine(const ReconcileResult& result, ByteOwnership& ownership) {
    ownership.DumpTaken(result.dump, result.ecuDimensions.value_or(ownership.Dimensions()));
}

} // namespace kavrin
