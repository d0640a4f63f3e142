// Whatever the player types into either box, the game goes on.
#include "GameOnX.h"

#include <gtest/gtest.h>

namespace namoro::e2e {
namespace {

const std::vector<std::string> kNotNumbers{"abc", "-", ""};

class Typing : public testing::Test {
protected:
    GameOnX game;
};

TEST_F(Typing, NoTextInTheTimeBoxEndsTheGameAndNoneOfItLetsAClickScore)
{
    ASSERT_TRUE(game.waitForStartScreen().matches());
    for (const std::string& text : kNotNumbers) {
        SCOPED_TRACE("time box \"" + text + "\"");
        game.setTime(text);
        if (!text.empty()) {
            EXPECT_EQ(game.time(), text);
        }
        game.clickAtStart(6);
        game.clickAtStart(11);
        EXPECT_EQ(game.score(), "0");
        ASSERT_TRUE(game.running());
    }
    game.setTime("7");
    game.clickAtStart(6);
    EXPECT_EQ(game.score(), "100");
}

TEST_F(Typing, NoTextInTheScoreBoxEndsTheGame)
{
    ASSERT_TRUE(game.waitForStartScreen().matches());
    game.setTime("9");
    ASSERT_EQ(game.time(), "9");
    for (const std::string& text : kNotNumbers) {
        SCOPED_TRACE("score box \"" + text + "\"");
        game.setScore(text);
        if (!text.empty()) {
            EXPECT_EQ(game.score(), text);
        }
        game.clickAtStart(11); // reads the score strictly: no number, no score
        if (!text.empty()) {
            EXPECT_EQ(game.score(), text);
        }
        ASSERT_TRUE(game.running());
        game.clickAtStart(6); // reads the longest leading number: none is 0
        EXPECT_EQ(game.score(), "100");
        ASSERT_TRUE(game.running());
    }
}

} // namespace
} // namespace namoro::e2e
