#include "ClockDriver.h"

#include <algorithm>
#include <limits>

namespace namoro::ui {

int timerWaitMs(runtime::Micros wait)
{
    const auto ms = wait.count() / 1000 + (wait.count() % 1000 > 0 ? 1 : 0);
    return static_cast<int>(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<int>::max()));
}

ClockDriver::ClockDriver(runtime::DueWork& work) : work_(work)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
    work_.setOnReschedule([this] { arm(); });
}

ClockDriver::~ClockDriver() { work_.setOnReschedule({}); }

void ClockDriver::fire()
{
    work_.runDue();
    arm();
}

void ClockDriver::arm()
{
    const auto due = work_.nextDue();
    if (!due) {
        timer_.stop(); // held or stopped: nothing to wake up for
        return;
    }
    timer_.start(timerWaitMs(*due - work_.clock().now()));
}

} // namespace namoro::ui
