#pragma once

#include "Control.h"

#include "runtime/EventDispatcher.h"
#include "runtime/TimerScheduler.h"

namespace namoro::window {

// A form timer: ticks from its creation at its Interval while Enabled; each tick is an event.
class Timer final : public Control {
public:
    Timer(std::string name, std::size_t place, int intervalMs, runtime::TimerScheduler& scheduler,
          runtime::EventDispatcher& dispatcher)
        : Control(std::move(name), place), scheduler_(scheduler),
          id_(scheduler.add(intervalMs, [this, &dispatcher] { dispatcher.dispatch(onTimer); }))
    {
    }
    ~Timer() override { scheduler_.remove(id_); }

    // Every timer keeps its stored interval for the whole run.
    int interval() const { return scheduler_.interval(id_); }
    bool enabled() const { return scheduler_.enabled(id_); }
    void setEnabled(bool enabled) { scheduler_.setEnabled(id_, enabled); }
    // When its ticks fall due: its anchor plus whole periods (for measuring how late they come).
    runtime::Micros anchor() const { return scheduler_.anchor(id_); }
    runtime::Micros period() const { return scheduler_.period(id_); }

    EventHandler onTimer;

private:
    runtime::TimerScheduler& scheduler_;
    runtime::TimerScheduler::TimerId id_;
};

} // namespace namoro::window
