#include "ClockDriver.h"

#include <algorithm>
#include <limits>

namespace namoro::ui {

int timerWaitMs(runtime::Micros wait)
{
    const auto ms = wait.count() / 1000 + (wait.count() % 1000 > 0 ? 1 : 0);
    return static_cast<int>(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<int>::max()));
}

ClockDriver::ClockDriver(runtime::TimerScheduler& scheduler) : scheduler_(scheduler)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
    scheduler_.setOnReschedule([this] { arm(); });
}

ClockDriver::~ClockDriver() { scheduler_.setOnReschedule({}); }

void ClockDriver::fire()
{
    scheduler_.runDue();
    arm();
}

void ClockDriver::arm()
{
    const auto due = scheduler_.nextDue();
    if (!due) {
        timer_.stop(); // held or stopped: nothing to wake up for
        return;
    }
    timer_.start(timerWaitMs(*due - scheduler_.clock().now()));
}

} // namespace namoro::ui
