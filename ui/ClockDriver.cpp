#include "ClockDriver.h"

namespace namoro::ui {

ClockDriver::ClockDriver(runtime::TimerScheduler& scheduler) : scheduler_(scheduler)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
}

void ClockDriver::fire()
{
    scheduler_.runDue();
    arm();
}

void ClockDriver::arm()
{
    const auto due = scheduler_.nextDue();
    if (!due)
        return; // every timer is stopped: nothing left to wake up for
    const auto wait = *due - scheduler_.clock().now();
    // Qt waits whole milliseconds; round up so the timer never wakes before it is due.
    const auto ms = std::max<std::int64_t>(0, (wait.count() + 999) / 1000);
    timer_.start(static_cast<int>(ms));
}

} // namespace namoro::ui
