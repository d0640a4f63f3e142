// A day on the virtual clock: 24 hours before Start, a whole game, 24 hours after it, with the
// window resized every minute. Ticks are exact, every item obeys the fall rule at every tick,
// and the heap holds as many bytes after it all as after the first minute.

#include "LiveHeap.h"

#include "logic/ItemTable.h"
#include "tests/support/HeadlessGame.h"

#include <array>
#include <map>

using namespace namoro;
using namespace namoro::testing;

namespace {

constexpr int kItemCount = static_cast<int>(logic::kItems.size());

// Each timer's interval in ms and its ticks from Start to the countdown's last tick. On the 1/64-s
// pacing a timer ticks every ceil(interval / 15.625 ms) 64ths of a second, so 60 s hold 3840 ticks
// at 1 to 15 ms, 1920 at 16 to 31, 1280 at 32 to 46, 960 at 47 to 62 and 60 at 1000 ms; 109.7 at
// 540 ms and 295.4 at 200 ms come out 110 and 296 from where those timers stand at Start. The
// countdown stops every timer at its last tick, so the timers made after it (Timer13 down to
// Timer1) lose the tick that falls on that instant.
const std::map<std::string, std::pair<int, std::int64_t>> kTicks{
    {"Timer18", {16, 1920}}, {"Timer17", {27, 1920}}, {"Timer16", {20, 1920}}, {"Timer15", {35, 1280}},
    {"Timer14", {1000, 60}}, {"Timer13", {1, 3839}}, {"Timer12", {540, 110}}, {"Timer11", {1000, 59}},
    {"Timer10", {1, 3839}}, {"Timer9", {29, 1919}}, {"Timer8", {12, 3839}}, {"Timer7", {37, 1279}},
    {"Timer6", {25, 1919}}, {"Timer5", {45, 1279}}, {"Timer4", {50, 959}}, {"Timer3", {15, 3839}},
    {"Timer2", {200, 296}}, {"Timer1", {38, 1279}}};

// Inner sizes in twips the player drags the window to, one a minute in turn: as designed, a
// single pixel, a wall of screens, narrower than item 3, a low strip, and something between.
constexpr std::array<std::pair<float, float>, 6> kSizes{
    {{9750, 8040}, {15, 15}, {60000, 45000}, {600, 8040}, {9750, 300}, {4500, 3000}}};

class SimulatedDay : public ::testing::Test {
protected:
    SimulatedDay()
    {
        auto& timers = game.form().timers();
        runningTicks.assign(timers.size(), 0);
        for (std::size_t i = 0; i < timers.size(); ++i) {
            window::Timer& timer = *timers[i];
            timer.onTimer = [this, i, handler = timer.onTimer] {
                if (running()) {
                    ++runningTicks[i];
                }
                handler();
            };
        }
        for (const logic::Item& item : logic::kItems)
            watchFall(item);
    }

    bool running() { return game.form1().startFlag() == runtime::Variant{std::int16_t{1}}; }

    // Around each tick of an item's timer: one step down, or back to the top in a column
    // inside the window once past the bottom; before Start, nothing moves.
    void watchFall(const logic::Item& item)
    {
        window::Timer& timer = game.form().timer(item.timer);
        window::PictureControl& picture = game.picture(item.number);
        timer.onTimer = [this, &picture, handler = timer.onTimer] {
            const window::Rect before = picture.rect();
            const bool moves = running();
            const float width = game.form().scaleWidth();
            const float height = game.form().scaleHeight();
            handler();
            const window::Rect after = picture.rect();
            bool obeys = false;
            if (!moves) {
                obeys = after.top == before.top && after.left == before.left;
            } else if (static_cast<float>(before.top + 100.0) > height) {
                const float free = width - before.width;
                obeys = after.top == 0 && after.left >= std::min(0.0f, free) && after.left <= std::max(0.0f, free);
            } else {
                obeys = after.top == static_cast<float>(before.top + 100.0) && after.left == before.left;
            }
            if (!obeys && brokenRules++ == 0)
                firstBreak = picture.name() + " at " + std::to_string(game.now().count()) + " us";
        };
    }

    // Minutes of the clock, the window resized in the middle of each.
    void passMinutes(int count)
    {
        for (int i = 0; i < count; ++i) {
            game.advance(std::chrono::seconds(30));
            resize();
            game.advance(std::chrono::seconds(30));
        }
    }

    void resize()
    {
        const auto [width, height] = kSizes[resizes++ % kSizes.size()];
        game.form().setScaleSize(width, height);
    }

    // Where every item stands: left and top.
    std::array<std::pair<float, float>, kItemCount> places()
    {
        std::array<std::pair<float, float>, kItemCount> all;
        for (int item = 1; item <= kItemCount; ++item)
            all[static_cast<std::size_t>(item - 1)] = {game.picture(item).left(), game.picture(item).top()};
        return all;
    }

    HeadlessGame game; // loaded at 0 on the virtual clock, every timer created then
    std::vector<std::int64_t> runningTicks;
    std::size_t resizes = 0;
    int brokenRules = 0;
    std::string firstBreak;
};

TEST_F(SimulatedDay, WaitingPlayingAndRestingForADayLeavesEveryTickExactAndTheHeapFlat)
{
    const auto atStart = places();
    const std::string caption = game.caption();
    // What is compared later is made before the heap is first counted.
    auto shown = places();
    auto ticksAtTheEnd = runningTicks;
    firstBreak.reserve(64);

    passMinutes(1);
    const std::int64_t heapAfterFirstMinute = liveHeapBytes();
    passMinutes(24 * 60 - 1);
    EXPECT_TRUE(places() == atStart) << "an item moved before Start";
    EXPECT_EQ(game.score().text(), "0");
    EXPECT_EQ(game.time().text(), "0");
    EXPECT_EQ(game.caption(), caption);

    game.start();
    // A click a second: five items worth 100, then one worth -500, nine times over.
    for (int second = 1; second <= 60; ++second) {
        game.advance(std::chrono::seconds(1));
        if (second == 30)
            resize();
        if (second <= 54)
            game.click(second % 6 == 0 ? 2 : 6);
        if (second == 5) {
            EXPECT_EQ(game.score().text(), "500");
        }
    }
    EXPECT_EQ(game.time().text(), "0");
    EXPECT_EQ(game.score().text(), "0");
    EXPECT_EQ(game.caption(), caption);
    for (std::size_t i = 0; i < runningTicks.size(); ++i) {
        const window::Timer& timer = *game.form().timers()[i];
        EXPECT_EQ(std::pair(timer.interval(), runningTicks[i]), kTicks.at(timer.name())) << timer.name();
    }

    shown = places();
    ticksAtTheEnd = runningTicks;
    passMinutes(24 * 60);
    EXPECT_TRUE(places() == shown) << "an item moved after the end";
    EXPECT_EQ(runningTicks, ticksAtTheEnd);
    EXPECT_EQ(game.time().text(), "0");
    EXPECT_FALSE(game.endStatus.has_value());
    EXPECT_EQ(brokenRules, 0) << "first at " << firstBreak;

    const std::int64_t heapAfterTheDay = liveHeapBytes();
    EXPECT_EQ(heapAfterTheDay, heapAfterFirstMinute);
    RecordProperty("heap_bytes_after_first_minute", std::to_string(heapAfterFirstMinute));
    RecordProperty("heap_bytes_after_the_day", std::to_string(heapAfterTheDay));
}

} // namespace
