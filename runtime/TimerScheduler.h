#pragma once

#include "Clock.h"
#include "DueWork.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace namoro::runtime {

// Every timer of the game on one clock, with classic desktop pacing: a timer ticks on a grid
// (1/64 s by default), every ceil(interval / grid) grid steps, at least one. A late timer
// ticks once and then resumes on its own period; ticks due together fire in creation order.
class TimerScheduler final : public DueWork {
public:
    using TimerId = std::size_t;
    static constexpr Micros kClassicGrid{15625};

    explicit TimerScheduler(const Clock& clock, Micros grid = kClassicGrid);
    TimerScheduler(const TimerScheduler&) = delete;
    TimerScheduler& operator=(const TimerScheduler&) = delete;

    // The timer starts counting its interval now, enabled. An interval of 0 never ticks.
    TimerId add(int intervalMs, std::function<void()> onTick);
    void remove(TimerId id);

    void setEnabled(TimerId id, bool enabled);
    bool enabled(TimerId id) const;
    int interval(TimerId id) const;
    Micros period(TimerId id) const;
    // Where the timer's phase is counted from: its ticks fall due at whole periods after it.
    Micros anchor(TimerId id) const { return entries_.at(id).anchor; }

    // While held, no timer falls due and nothing needs to wake for one. Every timer keeps its
    // anchor, so on release its next tick is the next point of its own period after now:
    // exactly when it would have come had every held tick been delivered.
    void setHeld(bool held);
    bool held() const { return held_; }
    // A release, or a timer enabled, reschedules.
    void setOnReschedule(std::function<void()> onReschedule) override { onReschedule_ = std::move(onReschedule); }

    // The earliest due time of an enabled timer; none while held.
    std::optional<Micros> nextDue() const override;
    // Fires every timer that is due at the clock's now, each once. A tick may disable timers
    // that are due as well; they do not fire.
    void runDue() override;

    const Clock& clock() const override { return clock_; }

private:
    struct Entry {
        int intervalMs = 0;
        Micros period{0};
        Micros anchor{0};
        Micros due{0};
        bool enabled = false;
        bool live = false;
        std::function<void()> onTick;
    };

    Micros periodFor(int intervalMs) const;
    void restart(Entry& entry);
    // The first point of the timer's own period after `now`.
    Micros nextPointAfter(const Entry& entry, Micros now) const;
    void rescheduled();
    // Enabled, live and with a positive interval: a timer that falls due at all.
    static bool ticks(const Entry& entry);
    std::optional<std::size_t> earliestDue(Micros now) const;

    const Clock& clock_;
    Micros grid_;
    std::vector<Entry> entries_;
    bool held_ = false;
    std::function<void()> onReschedule_;
};

} // namespace namoro::runtime
