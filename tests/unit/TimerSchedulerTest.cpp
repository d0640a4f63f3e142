// Timers on the classic 1/64 s grid, driven by a virtual clock.

#include "runtime/TimerScheduler.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

using namespace namoro::runtime;
using namespace std::chrono_literals;

TEST(TimerScheduler, PacesEveryStoredIntervalOnTheGrid)
{
    // interval (ms) -> period (us): ceil(interval / 15.625 ms) grid steps, at least one
    const std::map<int, std::int64_t> expected = {
        {1, 15625},   {12, 15625},  {15, 15625},  {16, 31250},  {20, 31250},  {25, 31250},
        {27, 31250},  {29, 31250},  {35, 46875},  {37, 46875},  {38, 46875},  {45, 46875},
        {50, 62500},  {200, 203125}, {540, 546875}, {1000, 1000000},
    };
    VirtualClock clock;
    TimerScheduler scheduler(clock);
    for (const auto& [interval, period] : expected) {
        const auto id = scheduler.add(interval, [] {});
        EXPECT_EQ(scheduler.period(id).count(), period) << interval << " ms";
    }
}

TEST(TimerScheduler, DeliversTicksAtThePacedRate)
{
    VirtualClock clock;
    TimerScheduler scheduler(clock);
    std::map<int, int> ticks;
    for (const int interval : {1, 16, 38, 200, 540, 1000})
        scheduler.add(interval, [&ticks, interval] { ++ticks[interval]; });
    scheduler.advanceTo(clock, 10s);
    EXPECT_EQ(ticks[1], 640);
    EXPECT_EQ(ticks[16], 320);
    EXPECT_EQ(ticks[38], 213);   // 10 s / 46.875 ms
    EXPECT_EQ(ticks[200], 49);
    EXPECT_EQ(ticks[540], 18);
    EXPECT_EQ(ticks[1000], 10);
}

TEST(TimerScheduler, TimersDueTogetherTickInCreationOrder)
{
    VirtualClock clock;
    TimerScheduler scheduler(clock);
    std::vector<std::string> order;
    scheduler.add(1000, [&] { order.push_back("first"); });
    scheduler.add(1, [&] { order.push_back("fast"); });
    scheduler.add(1000, [&] { order.push_back("third"); });
    scheduler.advanceTo(clock, 1s);
    ASSERT_GE(order.size(), 3u);
    // At 1 s all three are due; the fast one was created second, so it ticks between the others.
    const std::vector<std::string> last(order.end() - 3, order.end());
    EXPECT_EQ(last, (std::vector<std::string>{"first", "fast", "third"}));
}

TEST(TimerScheduler, TimersOverdueByDifferentAmountsTickInTheOrderTheyFellDue)
{
    VirtualClock clock;
    TimerScheduler scheduler(clock);
    std::vector<std::string> order;
    scheduler.add(1000, [&] { order.push_back("1 s"); });
    scheduler.add(500, [&] { order.push_back("500 ms"); });
    scheduler.add(200, [&] { order.push_back("203.125 ms"); });
    clock.set(1100ms); // one late wake-up finds all three overdue
    scheduler.runDue();
    EXPECT_EQ(order, (std::vector<std::string>{"203.125 ms", "500 ms", "1 s"}));
}

TEST(TimerScheduler, ALateTimerTicksOnceAndKeepsItsOwnGrid)
{
    VirtualClock clock;
    TimerScheduler scheduler(clock);
    int ticks = 0;
    scheduler.add(50, [&] { ++ticks; }); // 62.5 ms
    clock.set(1000ms);                  // the thread was busy for a second
    scheduler.runDue();
    EXPECT_EQ(ticks, 1);
    // next point of its own grid after 1000 ms: 16 * 62.5 = 1000 is not after, 17 * 62.5 is
    EXPECT_EQ(scheduler.nextDue(), Micros{1062500});
    scheduler.runDue();
    EXPECT_EQ(ticks, 1);
}

TEST(TimerScheduler, DisabledTimersNeverTick)
{
    VirtualClock clock;
    TimerScheduler scheduler(clock);
    int stopped = 0, running = 0, zero = 0;
    const auto first = scheduler.add(1000, [&] { ++stopped; });
    scheduler.add(1000, [&] { ++running; });
    scheduler.add(0, [&] { ++zero; }); // an interval of 0 never ticks
    scheduler.setEnabled(first, false);
    scheduler.advanceTo(clock, 5s);
    EXPECT_EQ(stopped, 0);
    EXPECT_EQ(running, 5);
    EXPECT_EQ(zero, 0);
}

TEST(TimerScheduler, ATickCanStopTimersThatAreDueAtTheSameInstant)
{
    VirtualClock clock;
    TimerScheduler scheduler(clock);
    int later = 0;
    TimerScheduler::TimerId laterId = 0;
    scheduler.add(1000, [&] { scheduler.setEnabled(laterId, false); });
    laterId = scheduler.add(1000, [&] { ++later; });
    scheduler.advanceTo(clock, 3s);
    EXPECT_EQ(later, 0);
    EXPECT_EQ(scheduler.nextDue(), Micros{4000000});
}
