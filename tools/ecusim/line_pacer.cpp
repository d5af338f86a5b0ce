// SPDX-License-Identifier: GPL-3.0-or-later
#include "line_pacer.h"

#include <algorithm>

namespace kavrin::ecusim {

namespace {
constexpr std::int64_t kUnitsPerByte = 1000;
}

LinePacer::LinePacer(std::int64_t startMs)
    : lineFreeAt_(startMs * kBytesPerSecond), lastLook_(startMs * kBytesPerSecond) {}

std::size_t LinePacer::Allowance(std::int64_t nowMs) {
    const std::int64_t now = nowMs * kBytesPerSecond;
    // Bytes that were not there at the last look could not have started before it.
    lineFreeAt_ = std::max(lineFreeAt_, lastLook_);
    lastLook_ = std::max(lastLook_, now);
    if (lineFreeAt_ >= now) return 0;
    return static_cast<std::size_t>((now - lineFreeAt_ + kUnitsPerByte - 1) / kUnitsPerByte);
}

void LinePacer::Spend(std::size_t bytes) {
    lineFreeAt_ += static_cast<std::int64_t>(bytes) * kUnitsPerByte;
}

} // namespace kavrin::ecusim
