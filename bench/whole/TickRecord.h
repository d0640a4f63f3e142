#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace namoro::bench {

using Micros = std::chrono::microseconds;

// What the tick probe prints on End: when Start was chosen, when the countdown reached zero,
// and for each timer its period, its anchor and when each tick after Start was delivered.
struct TickRecord {
    struct Timer {
        std::string name;
        int intervalMs = 0;
        Micros period{0};
        Micros anchor{0}; // ticks fall due at the anchor plus whole periods
        std::vector<Micros> ticks;
    };

    Micros start{0};
    std::optional<Micros> zero;
    std::vector<Timer> timers;

    static std::optional<TickRecord> parse(const std::string& text);
};

// The classic desktop pacing: a timer ticks every ceil(interval / 15.625 ms) steps of
// 15.625 ms, at least one.
double classicTicksPerSecond(int intervalMs);

struct TickRate {
    int ticks = 0;          // ticks in the window
    double perSecond = 0;   // from the mean spacing of those ticks
};

// The ticks of `timer` in the `window` after Start.
TickRate tickRate(const TickRecord& record, const TickRecord::Timer& timer, Micros window);

// How late each tick of `timer` after Start came: delivered minus the latest due instant at
// or before it, in milliseconds.
std::vector<double> lateness(const TickRecord& record, const TickRecord::Timer& timer);

} // namespace namoro::bench
