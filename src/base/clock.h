#pragma once
#include <chrono>
#include <cstdint>

namespace kavrin {

// Monotonic milliseconds: the one-second byte waits must not stretch or shrink
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

} // namespace kavrin
