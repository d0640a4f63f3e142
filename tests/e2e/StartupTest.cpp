// The window as it first shows, and what clicks do before Start.
#include "GameOnX.h"

#include <gtest/gtest.h>

namespace namoro::e2e {
namespace {

constexpr Rgb kRed{255, 0, 0};

int pixelsOf(const Image& shot, Rect area, Rgb colour)
{
    int count = 0;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x)
            count += shot.at(x, y) == colour;
    }
    return count;
}

class StartUp : public testing::Test {
protected:
    GameOnX game;
};

TEST_F(StartUp, ShowsZeroInBothBoxesEveryItemAtItsStartAndARedRank)
{
    EXPECT_EQ(game.window().width(), GameOnX::kInnerWidth);
    EXPECT_GT(game.window().menuBarHeight(), 0);

    const StartScreenReport report = game.waitForStartScreen();
    EXPECT_TRUE(report.matches()) << report.describe();
    EXPECT_EQ(game.score(), "0");
    EXPECT_EQ(game.time(), "0");

    const Image shot = game.screenshot();
    EXPECT_GT(pixelsOf(shot, game.onScreen(GameOnX::kCaptionRect), kRed), 50) << "the rank caption shows in red";
    // Reading the boxes took a while; before Start nothing has moved.
    const StartScreenReport later = compareWithStartScreen(shot, game.inner(), game.art());
    EXPECT_TRUE(later.matches()) << later.describe();
}

TEST_F(StartUp, KeysTypedBeforeAnyClickGoIntoTheFirstBoxInTabOrder)
{
    ASSERT_TRUE(game.waitForStartScreen().matches());
    game.window().type("12");
    EXPECT_EQ(game.score(), "012");
    EXPECT_EQ(game.time(), "0");
}

TEST_F(StartUp, ClicksScoreBeforeStartOnlyWhileTheTimeBoxHoldsANumberAboveZero)
{
    ASSERT_TRUE(game.waitForStartScreen().matches());
    const Image atZero = game.screenshot();

    game.clickAtStart(6);
    EXPECT_EQ(game.score(), "0") << "the time box shows 0: no time remains";
    game.setTime("-3");
    game.clickAtStart(6);
    EXPECT_EQ(game.score(), "0");

    game.setTime("5");
    ASSERT_EQ(game.time(), "5");
    game.clickAtStart(6);
    EXPECT_EQ(game.score(), "100");
    game.clickAtStart(2);
    EXPECT_EQ(game.score(), "-400");
    game.clickAtStart(11);
    EXPECT_EQ(game.score(), "-500");

    const Rect caption = game.onScreen(GameOnX::kCaptionRect);
    EXPECT_GT(xsession::countDifferences(atZero, game.screenshot(), caption), 0) << "the rank follows the score";
    EXPECT_TRUE(game.running());
}

} // namespace
} // namespace namoro::e2e
