// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <cstdint>

namespace kavrin {

// The four bytes that write one configuration byte: command letter, image
// index, value, and the XOR of the three.
inline std::array<std::uint8_t, 4> MakeWriteMessage(char command, std::uint8_t index,
                                                    std::uint8_t value) {
    const auto c = static_cast<std::uint8_t>(command);
    return {c, index, value, static_cast<std::uint8_t>(c ^ index ^ value)};
}

} // namespace kavrin
