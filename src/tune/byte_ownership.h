// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which configuration bytes are the user's own ("mine") since the window last
// knew the ECU's configuration: edited or loaded while offline, or written
// online with no echo of that value yet. Every other byte is what the ECU last
// sent, or nothing yet when no dump has come. Only the configuration bytes
// count (0..ImageLast - 1): the spare byte takes each dump's check byte.
#include "config/config_image.h"
#include "tune/config_snapshot.h"

#include <array>
#include <cstdint>
#include <span>

namespace kavrin {

class ByteOwnership {
public:
    explicit ByteOwnership(const Configuration& config) { Reset(config); }

    // SizeConfig re-created the image: none of its bytes is the user's any
    // more, and in a new layout none is known either. What the window last
    // knew of the ECU's layout stays, so a file of other dimensions is noticed.
    void Reset(const Configuration& config);

    // WriteConfigByte, after it has clamped the value: offline into the image,
    // online as a write message whose echo is awaited.
    void OfflineWrite(int index, std::uint8_t value);
    void OnlineWriteSent(int index, std::uint8_t value);
    // An "M" echo: the ECU holds value at index. It confirms the write awaited
    // with that value; a byte with no write awaited took the ECU's value into
    // the image and is the user's no longer.
    void EchoReceived(int index, std::uint8_t value);
    // The link went offline: writes still unconfirmed stay the user's, and
    // their values go into the image, which is the configuration from now on.
    void LinkWentOffline(ByteImage& image);
    // The window took a dump (as received: configuration bytes, then the check
    // byte) as its configuration, laid out by dims: nothing is the user's, and
    // every byte the dump covers is known.
    void DumpTaken(std::span<const std::uint8_t> dump, const ConfigDimensions& dims);

    bool IsMine(int index) const { return InRange(index) && mine_[index]; }
    // The ECU's value at index is known (from a dump taken or an echo).
    bool IsKnown(int index) const { return InRange(index) && known_[index]; }
    bool IsPending(int index) const { return InRange(index) && pending_[index]; }
    bool AnyMine() const;
    // The window's value: the image's byte, or the value of a write awaiting
    // its echo (online the image changes only when the echo comes).
    std::uint8_t WindowValue(const ByteImage& image, int index) const;
    // Every configuration byte as the window holds it.
    ConfigSnapshot WindowSnapshot(const Configuration& config) const;
    // The user's own values that the ECU does not hold (the status panel).
    int MineNotInEcu(const ByteImage& image) const;
    // What the window last knew of the ECU: a dump was taken, with this
    // layout, and the ECU's value at a known index.
    bool HasEcuConfiguration() const { return hasEcu_; }
    const ConfigDimensions& EcuDimensions() const { return ecuDims_; }
    std::uint8_t EcuValue(int index) const { return InRange(index) ? ecu_[index] : 0; }
    int ConfigBytes() const { return configBytes_; }
    const ConfigDimensions& Dimensions() const { return dims_; }

private:
    bool InRange(int index) const { return index >= 0 && index < configBytes_; }
    void MarkMine(int index, std::uint8_t value, bool pending);

    static constexpr int kBytes = ByteImage::kMaxBytes;
    int configBytes_ = 0;
    ConfigDimensions dims_;
    std::array<bool, kBytes> mine_{};
    std::array<bool, kBytes> pending_{};
    std::array<std::uint8_t, kBytes> wanted_{}; // the value of a pending write
    std::array<bool, kBytes> known_{};
    std::array<std::uint8_t, kBytes> ecu_{};
    bool hasEcu_ = false;
    ConfigDimensions ecuDims_;
};

} // namespace kavrin
