// The red caption that ranks whatever the score box shows.

#include "tests/support/HeadlessGame.h"

using namespace namoro::testing;

TEST(RankCaption, EachThresholdIsMetExactlyAndNotJustBelow)
{
    HeadlessGame game;
    const std::pair<const char*, const char*> rows[] = {
        {"-1000", "凸(-v-)凸"},   {"-101", "凸(-v-)凸"},      {"-100", "凸(▼△▼メ)"},  {"99", "凸(▼△▼メ)"},
        {"100", "Ｖ(>_<)Ｖ"},     {"499.999", "Ｖ(>_<)Ｖ"},   {"500", "(゜～゜)。。"}, {"999", "(゜～゜)。。"},
        {"1000", "凹(０－０)凹"}, {"1499", "凹(０－０)凹"},   {"1500", "V(◎∀◎)V"},     {"1999.5", "V(◎∀◎)V"},
        {"2000", "ナモロクリア"}, {"1e300", "ナモロクリア"},
    };
    for (const auto& [score, caption] : rows) {
        game.type(game.score(), score);
        EXPECT_EQ(game.caption(), caption) << score;
    }
}

TEST(RankCaption, BelowTheLowestThresholdTheCaptionStays)
{
    HeadlessGame game;
    game.type(game.score(), "-900");
    EXPECT_EQ(game.caption(), "凸(-v-)凸");
    game.type(game.score(), "-1400");
    EXPECT_EQ(game.caption(), "凸(-v-)凸");
    game.type(game.score(), "1500");
    game.type(game.score(), "-1001");
    EXPECT_EQ(game.caption(), "V(◎∀◎)V");
}

TEST(RankCaption, TypingTextThatIsNoNumberKeepsTheCaptionAndTheGame)
{
    HeadlessGame game;
    game.type(game.score(), "500");
    for (const char* typed : {"", "-", "abc", "5000x", "１２a"}) {
        game.type(game.score(), typed);
        EXPECT_EQ(game.caption(), "(゜～゜)。。") << typed;
    }
    // Selecting all and typing -5000 passes through a lone minus sign; the game goes on.
    game.type(game.score(), "-");
    game.type(game.score(), "-5");
    EXPECT_EQ(game.caption(), "凸(▼△▼メ)");
    game.type(game.score(), "-5000");
    EXPECT_EQ(game.caption(), "凸(▼△▼メ)");
    EXPECT_TRUE(game.reported.empty());
    EXPECT_FALSE(game.endStatus.has_value());
    game.type(game.score(), "２０００");
    EXPECT_EQ(game.caption(), "ナモロクリア");
}
