// A game from Start to its end: the countdown, the falling items and the freeze at zero.
#include "GameOnX.h"

#include <gtest/gtest.h>

namespace namoro::e2e {
namespace {

class Play : public testing::Test {
protected:
    // Where the pictures are, above the rank caption and the boxes.
    Rect pictureArea() const { return game.onScreen({0, 0, GameOnX::kInnerWidth, kCaptionTop}); }

    GameOnX game;
};

TEST_F(Play, StartSetsTheCountdownGoingAndTheItemsFalling)
{
    ASSERT_TRUE(game.waitForStartScreen().matches());
    const Image still = game.screenshot();
    game.chooseStart();

    std::optional<int> first;
    ASSERT_TRUE(eventually(5s, [&] {
        first = wholeNumber(game.time());
        return first && *first > 0;
    })) << "the time box counts from 59";
    EXPECT_LE(*first, 59);
    std::optional<int> later;
    EXPECT_TRUE(eventually(5s, [&] {
        later = wholeNumber(game.time());
        return later && *later < *first;
    }));

    Image moved = game.screenshot();
    EXPECT_GT(xsession::countDifferences(still, moved, pictureArea()), 0);
    EXPECT_TRUE(eventually(5s, [&] { return xsession::countDifferences(moved, game.screenshot(), pictureArea()) > 0; }))
        << "the items keep falling";

    // Typing over the running countdown: the next tick writes the time again.
    game.setTime("xyz");
    EXPECT_TRUE(eventually(5s, [&] { return wholeNumber(game.time()).has_value(); }));

    game.chooseEnd();
    const auto status = game.waitForExit(1s);
    ASSERT_TRUE(status) << "End while running ends the program within a second";
    EXPECT_TRUE(status->success()) << status->describe();
}

TEST_F(Play, EverythingFreezesWhenTheCountdownReachesZero)
{
    ASSERT_TRUE(game.waitForStartScreen().matches());
    game.chooseStart();

    std::vector<int> seen;
    const bool over = eventually(75s, [&] {
        // The time box shows 0 until the first tick after Start.
        const auto t = wholeNumber(game.time());
        if (t && (seen.empty() ? *t != 0 : *t != seen.back()))
            seen.push_back(*t);
        return seen.size() > 1 && seen.back() == 0;
    }, 200ms);
    ASSERT_TRUE(over) << "the countdown reaches 0 about a minute after Start";
    for (std::size_t i = 1; i < seen.size(); ++i)
        EXPECT_LT(seen[i], seen[i - 1]) << "the time box only counts down";

    // The caret blinks in whichever box has the focus; everything else must stand still.
    const std::vector<Rect> boxes{game.onScreen(GameOnX::kTimeBoxRect), game.onScreen(GameOnX::kScoreBoxRect)};
    const Image frozen = game.screenshot();
    std::this_thread::sleep_for(1s); // the interval over which nothing may change
    EXPECT_EQ(xsession::countDifferences(frozen, game.screenshot(), game.inner(), boxes), 0);

    // A frozen item no longer scores, and Start again changes nothing.
    std::optional<Point> item;
    for (int y = 1; y < kCaptionTop - 1 && !item; ++y) {
        for (int x = 1; x < GameOnX::kInnerWidth - 1 && !item; ++x) {
            bool solid = true;
            for (int d = -1; d <= 1; ++d)
                solid = solid && !(frozen.at(game.inner().x + x + d, game.inner().y + y + d) == kLavender);
            if (solid)
                item = Point{x, y};
        }
    }
    ASSERT_TRUE(item) << "some item shows above the rank caption";
    game.click(*item);
    EXPECT_EQ(game.score(), "0");
    game.chooseStart();
    EXPECT_EQ(game.time(), "0");
    EXPECT_EQ(xsession::countDifferences(frozen, game.screenshot(), game.inner(), boxes), 0);
    EXPECT_TRUE(game.running());
}

} // namespace
} // namespace namoro::e2e
