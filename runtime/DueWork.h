#pragma once

#include "Clock.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace namoro::runtime {

// Work that falls due on a clock, as a driver sees it: when to wake next, and what to run then.
class DueWork {
public:
    virtual ~DueWork() = default;
    // The earliest instant on clock() that something falls due; none while nothing will.
    virtual std::optional<Micros> nextDue() const = 0;
    // Runs everything due at the clock's now.
    virtual void runDue() = 0;
    // Told when work may fall due sooner than the last nextDue() said, so a driver re-arms.
    virtual void setOnReschedule(std::function<void()> onReschedule) = 0;
    virtual const Clock& clock() const = 0;

    // Steps a virtual clock through every due instant up to `until`.
    void advanceTo(VirtualClock& clock, Micros until)
    {
        while (const auto due = nextDue()) {
            if (*due > until)
                break;
            clock.set(std::max(*due, clock.now()));
            runDue();
        }
        if (until > clock.now())
            clock.set(until);
    }
};

} // namespace namoro::runtime
