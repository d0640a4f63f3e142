#pragma once

#include <chrono>

namespace namoro::runtime {

using Micros = std::chrono::microseconds;

// The time the timers run on: monotonic in the game, virtual in tests.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Micros now() const = 0;
};

class SteadyClock final : public Clock {
public:
    Micros now() const override
    {
        return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - start_);
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Moves only when a test moves it.
class VirtualClock final : public Clock {
public:
    Micros now() const override { return now_; }
    void set(Micros now) { now_ = now; }

private:
    Micros now_{0};
};

} // namespace namoro::runtime
