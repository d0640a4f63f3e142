// The wait the real clock asks Qt for.

#include "ui/ClockDriver.h"

#include <gtest/gtest.h>
#include <limits>

using namoro::runtime::Micros;
using namoro::ui::timerWaitMs;

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
