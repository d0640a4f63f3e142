// The real clock: the wait it asks Qt for, and that it keeps waking up.

#include "runtime/TimerScheduler.h"
#include "ui/ClockDriver.h"

#include <QTest>
#include <gtest/gtest.h>
#include <limits>

using namoro::runtime::Micros;
using namoro::ui::timerWaitMs;
using namespace namoro;

TEST(ClockDriver, WaitsWholeMillisecondsNeverEarlyAndNeverWrapping)
{
    EXPECT_EQ(timerWaitMs(Micros{-20'000}), 0);
    EXPECT_EQ(timerWaitMs(Micros{0}), 0);
    EXPECT_EQ(timerWaitMs(Micros{1}), 1);
    EXPECT_EQ(timerWaitMs(Micros{15'625}), 16);
    EXPECT_EQ(timerWaitMs(Micros{1'000'000}), 1000);
    // A timer of the longest interval a layout can store is due in about 24.9 days, beyond
    // what an int of milliseconds holds: the wait is capped, never negative.
    EXPECT_EQ(timerWaitMs(Micros{std::int64_t{std::numeric_limits<int>::max()} * 1000 + 15'625}),
              std::numeric_limits<int>::max());
}

TEST(ClockDriver, ArmsAgainAfterEveryTickAndWhenTheIdleHoldIsReleased)
{
    runtime::SteadyClock clock;
    runtime::TimerScheduler scheduler(clock, Micros{1000});
    int ticks = 0;
    scheduler.add(1, [&] { ++ticks; });
    scheduler.setHeld(true);
    ui::ClockDriver driver(scheduler);
    driver.start(); // held: nothing to wake up for
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 0);
    scheduler.setHeld(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 5; }, 10'000)) << ticks << " ticks";
}
