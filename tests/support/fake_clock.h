// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/clock.h"

namespace kavrin::test {

// A clock that moves only when told to.
class FakeClock final : public MonotonicClock {
public:
    std::int64_t NowMs() override { return now; }
    void Advance(std::int64_t ms) { now += ms; }
    std::int64_t now = 1'000'000;
};

// The local time a test sets.
class FixedCalendar final : public CalendarClock {
public:
    LocalDateTime Now() override { return now; }
    LocalDateTime now{2026, 12, 7, 3, 15, 0};
};

} // namespace kavrin::test
