// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <chrono>
#include <cstdint>
#include <ctime>

namespace kavrin {

// Monotonic milliseconds: the one-second deadlines of the link must not stretch or shrink
// when the wall clock is set.
class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    virtual std::int64_t NowMs() = 0;
};

class SteadyClock final : public MonotonicClock {
public:
    std::int64_t NowMs() override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

// The local date and time, for names the user recognises (a datalog's file).
struct LocalDateTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
};

class CalendarClock {
public:
    virtual ~CalendarClock() = default;
    virtual LocalDateTime Now() = 0;
};

class SystemCalendarClock final : public CalendarClock {
public:
    LocalDateTime Now() override {
        const std::time_t now = std::time(nullptr);
        const std::tm* t = std::localtime(&now); // one thread only
        if (!t) return {};
        return {t->tm_year + 1900, t->tm_mon + 1, t->tm_mday, t->tm_hour, t->tm_min, t->tm_sec};
    }
};

} // namespace kavrin
