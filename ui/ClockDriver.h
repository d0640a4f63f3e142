#pragma once

#include "runtime/DueWork.h"

#include <QTimer>

namespace namoro::ui {

// The whole milliseconds Qt is asked to wait for `wait`: rounded up so the timer never wakes
// before it is due, and capped at what Qt takes; a capped wait wakes early and re-arms.
int timerWaitMs(runtime::Micros wait);

// Drives every game timer from one precise single-shot Qt timer, re-armed to the work's next
// due time: no busy loop, no per-timer rounding that would lose ticks, and no wake-up at all
// while nothing falls due (the timers held or stopped, or the program ended).
class ClockDriver {
public:
    explicit ClockDriver(runtime::DueWork& work);
    ~ClockDriver();
    ClockDriver(const ClockDriver&) = delete;
    ClockDriver& operator=(const ClockDriver&) = delete;

    void start() { arm(); }

private:
    void fire();
    void arm();

    runtime::DueWork& work_;
    QTimer timer_;
};

} // namespace namoro::ui
