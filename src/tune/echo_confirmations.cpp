// SPDX-License-Identifier: GPL-3.0-or-later
#include "tune/echo_confirmations.h"

#include <algorithm>

namespace kavrin {

void EchoConfirmations::Start(const std::vector<ByteWrite>& writes) {
    awaited_ = writes;
    outcome_ = {0, static_cast<int>(writes.size())};
    startMs_ = clock_.NowMs();
    running_ = true;
}

void EchoConfirmations::EchoReceived(int index, std::uint8_t value) {
    if (!running_ || Expired()) return;
    const auto it = std::find(awaited_.begin(), awaited_.end(),
                              ByteWrite{static_cast<std::int16_t>(index), value});
    if (it == awaited_.end()) return;
    awaited_.erase(it);
    ++outcome_.confirmed;
}

std::optional<EchoConfirmations::Outcome> EchoConfirmations::TakeOutcome() {
    if (!running_ || (!awaited_.empty() && !Expired())) return std::nullopt;
    running_ = false;
    awaited_.clear();
    return outcome_;
}

} // namespace kavrin
