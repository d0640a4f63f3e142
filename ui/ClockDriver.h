#pragma once

#include "runtime/TimerScheduler.h"

#include <QTimer>

namespace namoro::ui {

// The whole milliseconds Qt is asked to wait for `wait`: rounded up so the timer never wakes
// before it is due, and capped at what Qt takes; a capped wait wakes early and re-arms.
int timerWaitMs(runtime::Micros wait);

// Drives every game timer from one precise single-shot Qt timer, re-armed to the scheduler's
// next due time: no busy loop, no per-timer rounding that would lose ticks, and no wake-up at
// all while the scheduler holds its timers or every timer is stopped.
class ClockDriver {
public:
    explicit ClockDriver(runtime::TimerScheduler& scheduler);
    ~ClockDriver();
    ClockDriver(const ClockDriver&) = delete;
    ClockDriver& operator=(const ClockDriver&) = delete;

    void start() { arm(); }

private:
    void fire();
    void arm();

    runtime::TimerScheduler& scheduler_;
    QTimer timer_;
};

} // namespace namoro::ui
