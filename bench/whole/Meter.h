#pragma once

#include <chrono>
#include <sys/types.h>
#include <vector>

namespace namoro::bench {

// Readings of one process's CPU time and wake-ups, taken when asked (the bench asks once a
// second), and the figures they give over a stretch of time. CPU time is what all its threads
// used (the scheduler's nanosecond accounting where the kernel keeps it, else clock ticks);
// wake-ups are how often they went to sleep and were woken (voluntary context switches).
class Meter {
public:
    using Clock = std::chrono::steady_clock;

    Meter(pid_t pid, Clock::time_point origin) : pid_(pid), origin_(origin) {}

    // Reads the process's counters now; throws if it is gone.
    void sample();

    struct Figures {
        double cpuPercent = 0;      // of one core
        double wakeUpsPerSecond = 0;
    };
    // Between the readings nearest to `from` and `to` seconds after the origin.
    Figures between(double from, double to) const;
    // Between each reading and the next.
    std::vector<Figures> perInterval() const;

private:
    struct Reading {
        double at = 0; // seconds after the origin
        std::chrono::nanoseconds cpu{0};
        long long wakeUps = 0;
    };
    static Figures rate(const Reading& a, const Reading& b);

    pid_t pid_;
    Clock::time_point origin_;
    std::vector<Reading> readings_;
};

// The process's peak resident memory so far (VmHWM), in MiB; 0 if unknown.
double peakResidentMiB(pid_t pid);

} // namespace namoro::bench
