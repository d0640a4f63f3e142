// Items fall 100 twips per tick of their own timer and come back at the top in a random column.

#include "tests/support/HeadlessGame.h"

#include <cmath>

using namespace namoro;
using namespace namoro::testing;

TEST(Fall, StepsBeforeItTestsAndRespawnsOnlyPastTheBottom)
{
    HeadlessGame game;
    game.start();
    auto& picture = game.picture(1);
    picture.setTop(7940);
    game.form1().Timer1_Timer();
    EXPECT_EQ(picture.top(), 8040.0f); // 8040 is not greater than 8040
    EXPECT_EQ(picture.left(), 120.0f);
    EXPECT_EQ(game.random().draws, 0);

    game.random().queued = {0.5f};
    game.form1().Timer1_Timer();
    EXPECT_EQ(picture.top(), 0.0f);
    EXPECT_EQ(picture.left(), 4530.0f); // 0.5 * (9750 - 690)
    EXPECT_EQ(game.random().draws, 1);
}

TEST(Fall, RespawnColumnsSpanTheFreeWidth)
{
    HeadlessGame game;
    game.start();
    auto& picture = game.picture(3); // 1110 twips wide, its face far narrower
    const auto respawnWith = [&](float fraction) {
        picture.setTop(game.form().scaleHeight());
        game.random().queued = {fraction};
        game.form1().Timer3_Timer();
        EXPECT_EQ(picture.top(), 0.0f);
        return picture.left();
    };
    EXPECT_EQ(respawnWith(0.0f), 0.0f);
    const float fraction = 0.123456f;
    const float left = respawnWith(fraction);
    EXPECT_EQ(left, static_cast<float>(double(fraction) * (9750.0 - 1110.0))); // rounded once, not to whole twips
    EXPECT_NE(left, std::round(left));
    EXPECT_LT(respawnWith(0x1.fffffep-1f), 9750.0f - 1110.0f);

    game.form().setScaleSize(1110, 8040); // exactly as wide as the window
    EXPECT_EQ(respawnWith(0.9f), 0.0f);
    game.form().setScaleSize(600, 8040);  // wider than the window: sticks out on the left
    EXPECT_EQ(respawnWith(0.5f), -255.0f);
}

TEST(Fall, ReadsTheWindowSizeAfreshAtEveryTick)
{
    HeadlessGame game;
    game.form().setScaleSize(9750, 2000); // made smaller before Start: item 11 lies below the bottom
    game.start();
    game.random().queued = {0.25f};
    game.form1().Timer11_Timer();
    EXPECT_EQ(game.picture(11).top(), 0.0f);
    EXPECT_EQ(game.picture(11).left(), 0.25f * (9750 - 840));

    game.picture(6).setTop(1500);
    game.form1().Timer6_Timer();
    EXPECT_EQ(game.picture(6).top(), 1600.0f);
    game.form().setScaleSize(5000, 1550); // the bottom edge rises above it
    game.random().queued = {0.5f};
    game.form1().Timer6_Timer();
    EXPECT_EQ(game.picture(6).top(), 0.0f);
    EXPECT_EQ(game.picture(6).left(), 0.5f * (5000 - 720));
}

TEST(Fall, NothingMovesBeforeStart)
{
    HeadlessGame game;
    game.form1().Timer10_Timer();
    game.form1().Timer18_Timer();
    EXPECT_EQ(game.picture(10).top(), 120.0f);
    EXPECT_EQ(game.picture(17).top(), 960.0f);
}

TEST(Fall, EachItemKeepsItsTimersPace)
{
    HeadlessGame game;
    game.advance(std::chrono::microseconds(15625 * 3)); // start between ticks of the fast timers
    game.start();
    const float fast = game.picture(10).top();
    const float slow = game.picture(11).top();
    const float item17 = game.picture(17).top();
    game.advance(1s);
    EXPECT_EQ(game.picture(10).top() - fast, 6400.0f); // 64 ticks
    EXPECT_EQ(game.picture(11).top() - slow, 100.0f);  // once a second
    EXPECT_EQ(game.picture(17).top() - item17, 3200.0f); // 16 ms: 32 ticks
    EXPECT_EQ(game.picture(2).top() - 360.0f, 500.0f);  // 200 ms: every 203.125 ms
}
