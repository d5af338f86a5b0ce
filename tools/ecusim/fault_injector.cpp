// SPDX-License-Identifier: GPL-3.0-or-later
#include "fault_injector.h"

namespace kavrin::ecusim {

FaultInjector::FaultInjector(const SimOptions& options, std::int64_t startMs)
    : options_(options), startMs_(startMs), silentUntilMs_(startMs),
      corrupt_(SeededRandom::Mix(options.seed) ^ 0xC0441E7ull),
      drop_(SeededRandom::Mix(options.seed) ^ 0xD409ull) {}

std::uint8_t FaultInjector::NextFrameDamage() {
    if (!corrupt_.Chance(options_.corruptShare)) return 0;
    return static_cast<std::uint8_t>(1 + corrupt_.Next() % 255);
}

bool FaultInjector::DropNextByte() {
    return drop_.Chance(options_.dropShare);
}

bool FaultInjector::Silent(std::int64_t nowMs) const {
    if (nowMs < silentUntilMs_) return true;
    const std::int64_t every = options_.silenceEveryMs;
    if (every <= 0 || nowMs - startMs_ < every) return false;
    return (nowMs - startMs_) % every < options_.silenceForMs;
}

void FaultInjector::SilenceFor(std::int64_t nowMs, std::int64_t durationMs) {
    if (nowMs + durationMs > silentUntilMs_) silentUntilMs_ = nowMs + durationMs;
}

} // namespace kavrin::ecusim
