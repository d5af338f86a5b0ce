// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How many of a batch of writes ("Send mine to the ECU") the ECU confirmed:
// an echo with the same index and value within two seconds of the batch.
#include "base/clock.h"
#include "tune/config_snapshot.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kavrin {

class EchoConfirmations {
public:
    static constexpr std::int64_t kWindowMs = 2000;

    explicit EchoConfirmations(MonotonicClock& clock) : clock_(clock) {}

    // A new batch replaces one still counting.
    void Start(const std::vector<ByteWrite>& writes);
    // Every "M" echo.
    void EchoReceived(int index, std::uint8_t value);

    struct Outcome {
        int confirmed = 0;
        int sent = 0;
    };
    // Once, when every write is confirmed or the two seconds are over (the
    // link tick asks); nothing while counting or when no batch runs.
    std::optional<Outcome> TakeOutcome();
    bool Counting() const { return running_; }

private:
    bool Expired() const { return clock_.NowMs() - startMs_ > kWindowMs; }

    MonotonicClock& clock_;
    std::vector<ByteWrite> awaited_;
    Outcome outcome_;
    std::int64_t startMs_ = 0;
    bool running_ = false;
};

} // namespace kavrin
