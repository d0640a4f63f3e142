// The 60-second countdown: ticks after Start, the time box, and the stop of every timer.

#include "tests/support/HeadlessGame.h"

#include "logic/ItemTable.h"

using namespace namoro;
using namespace namoro::testing;

namespace {

bool anyTimerEnabled(window::Form& form)
{
    for (const auto& timer : form.timers()) {
        if (timer->enabled())
            return true;
    }
    return false;
}

struct GameOvers final : window::FormListener {
    void gameOver() override { ++count; }
    int count = 0;
};

} // namespace

TEST(Countdown, CountsFrom59ToZeroThenStopsEveryTimer)
{
    HeadlessGame game;
    game.advance(300ms);
    game.start();
    const auto startedAt = game.now();
    EXPECT_EQ(game.time().text(), "0"); // until the first tick

    game.advanceToNextCountdownTick();
    const auto firstTick = game.now() - startedAt;
    EXPECT_GT(firstTick, 0ms);
    EXPECT_LE(firstTick, 1000ms);
    EXPECT_EQ(game.time().text(), "59");

    for (int shown = 58; shown >= 1; --shown) {
        game.advanceToNextCountdownTick();
        ASSERT_EQ(game.time().text(), std::to_string(shown));
        ASSERT_TRUE(anyTimerEnabled(game.form()));
    }
    game.advanceToNextCountdownTick();
    EXPECT_EQ(game.time().text(), "0");
    EXPECT_EQ(game.form1().timeLeft(), runtime::Variant{std::int16_t{0}});
    EXPECT_FALSE(anyTimerEnabled(game.form()));
    EXPECT_FALSE(game.game().scheduler().nextDue().has_value()); // nothing will ever tick again
    EXPECT_EQ(game.now() - startedAt, firstTick + 59s);
}

TEST(Countdown, TheLastTickStopsTheTimersThatWereDueWithIt)
{
    // Timer18..Timer15 were created before Timer14 and tick first at a shared instant; the
    // timers created after it are stopped before their tick at that instant.
    HeadlessGame game;
    game.start();
    game.playUntilTimeShows("1");
    std::vector<float> tops;
    for (int item = 1; item <= 13; ++item)
        tops.push_back(game.picture(item).top());
    game.playUntilTimeShows("0");
    for (int item = 1; item <= 13; ++item) {
        if (item != 11 && item != 12 && item != 2) { // the slow ones may not have been due
            EXPECT_NE(game.picture(item).top(), tops[std::size_t(item - 1)]) << item;
        }
    }
    std::vector<float> frozen;
    for (int item = 1; item <= 17; ++item)
        frozen.push_back(game.picture(item).top());
    game.advance(std::chrono::seconds(30));
    for (int item = 1; item <= 17; ++item)
        EXPECT_EQ(game.picture(item).top(), frozen[std::size_t(item - 1)]) << item;
}

TEST(Countdown, TypingIntoTheTimeBoxDoesNotChangeTheCount)
{
    HeadlessGame game;
    game.start();
    game.advanceToNextCountdownTick();
    game.advanceToNextCountdownTick();
    game.type(game.time(), "999");
    EXPECT_EQ(game.time().text(), "999");
    game.advanceToNextCountdownTick();
    EXPECT_EQ(game.time().text(), "57");
    game.type(game.time(), "");
    game.type(game.time(), "-");
    game.advanceToNextCountdownTick();
    EXPECT_EQ(game.time().text(), "56");
    EXPECT_FALSE(game.endStatus.has_value());
}

TEST(Countdown, StartAfterTheEndChangesNothing)
{
    HeadlessGame game;
    game.start();
    game.advance(62s);
    const float top = game.picture(10).top();
    game.start();
    game.advance(5s);
    EXPECT_EQ(game.time().text(), "0");
    EXPECT_EQ(game.picture(10).top(), top);
    EXPECT_FALSE(anyTimerEnabled(game.form()));
}

TEST(Countdown, AWholeGamePlaysOnTheVirtualClockAndEndsWithOneGameOver)
{
    GameOvers over;
    HeadlessGame game;
    game.form().listen(over);
    game.start();
    game.playUntilTimeShows("1");
    EXPECT_EQ(over.count, 0);
    game.advance(2s);
    EXPECT_EQ(game.time().text(), "0");
    EXPECT_EQ(over.count, 1);
    EXPECT_FALSE(anyTimerEnabled(game.form()));
    EXPECT_GT(game.random().draws, 17); // items fell through the window and came back
    game.start();
    game.type(game.time(), "0");
    game.advance(61s);
    EXPECT_EQ(over.count, 1);
}
