#pragma once

#include "runtime/TimerScheduler.h"

#include <QTimer>

namespace namoro::ui {

// Drives every game timer from one precise single-shot Qt timer, re-armed to the scheduler's
// next due time: no busy loop, and no per-timer rounding that would lose ticks.
class ClockDriver {
public:
    explicit ClockDriver(runtime::TimerScheduler& scheduler);
    void start() { arm(); }

private:
    void fire();
    void arm();

    runtime::TimerScheduler& scheduler_;
    QTimer timer_;
};

} // namespace namoro::ui
