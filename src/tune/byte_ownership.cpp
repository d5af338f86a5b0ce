// SPDX-License-Identifier: GPL-3.0-or-later
#include "tune/byte_ownership.h"

#include <algorithm>

namespace kavrin {

void ByteOwnership::Reset(const Configuration& config) {
    const ConfigDimensions dims = ConfigDimensions::Of(config);
    if (dims != dims_) known_.fill(false);
    dims_ = dims;
    configBytes_ = std::clamp<int>(config.ImageLast, 0, kBytes);
    mine_.fill(false);
    pending_.fill(false);
}

void ByteOwnership::MarkMine(int index, std::uint8_t value, bool pending) {
    if (!InRange(index)) return;
    mine_[index] = true;
    pending_[index] = pending;
    wanted_[index] = value;
}

void ByteOwnership::OfflineWrite(int index, std::uint8_t value) {
    MarkMine(index, value, false);
}

void ByteOwnership::OnlineWriteSent(int index, std::uint8_t value) {
    MarkMine(index, value, true);
}

void ByteOwnership::EchoReceived(int index, std::uint8_t value) {
    if (!InRange(index)) return;
    known_[index] = true;
    ecu_[index] = value;
    // An echo of an earlier value while a later write is on its way leaves the
    // byte the user's: the later echo decides.
    if (pending_[index] && wanted_[index] != value) return;
    mine_[index] = false;
    pending_[index] = false;
}

void ByteOwnership::LinkWentOffline(ByteImage& image) {
    for (int i = 0; i < configBytes_; ++i) {
        if (!pending_[i]) continue;
        image.Set(i, wanted_[i]);
        pending_[i] = false;
    }
}

void ByteOwnership::DumpTaken(std::span<const std::uint8_t> dump, const ConfigDimensions& dims) {
    hasEcu_ = true;
    ecuDims_ = dims;
    mine_.fill(false);
    pending_.fill(false);
    known_.fill(false);
    ecu_.fill(0);
    const int dumpBytes = std::min<int>(static_cast<int>(dump.size()), kBytes);
    for (int i = 0; i < dumpBytes; ++i) ecu_[i] = dump[static_cast<std::size_t>(i)];
    // Bytes laid out otherwise than the window's mean other things there.
    if (dims != dims_) return;
    // The dump's last byte is its check byte, not configuration.
    const int known = std::min(dumpBytes - 1, configBytes_);
    for (int i = 0; i < known; ++i) known_[i] = true;
}

bool ByteOwnership::AnyMine() const {
    return std::any_of(mine_.begin(), mine_.begin() + configBytes_, [](bool m) { return m; });
}

std::uint8_t ByteOwnership::WindowValue(const ByteImage& image, int index) const {
    if (IsPending(index)) return wanted_[index];
    return image[index];
}

ConfigSnapshot ByteOwnership::WindowSnapshot(const Configuration& config) const {
    ConfigSnapshot snapshot{ConfigDimensions::Of(config), {}};
    const int bytes = std::clamp<int>(config.ImageLast, 0, kBytes);
    snapshot.bytes.resize(static_cast<std::size_t>(bytes));
    for (int i = 0; i < bytes; ++i)
        snapshot.bytes[static_cast<std::size_t>(i)] = WindowValue(config.ConfigImage, i);
    return snapshot;
}

int ByteOwnership::MineNotInEcu(const ByteImage& image) const {
    int count = 0;
    for (int i = 0; i < configBytes_; ++i)
        if (mine_[i] && (!known_[i] || WindowValue(image, i) != ecu_[i])) ++count;
    return count;
}

} // namespace kavrin
