// Catching items while time remains, and the score box as the only store of the score.

#include "tests/support/HeadlessGame.h"

#include "logic/ItemTable.h"
#include "runtime/NumberToText.h"

#include <limits>
#include <utility>

using namespace namoro;
using namespace namoro::testing;

namespace {

// A running game with time on the clock and the score box showing `score`.
struct ScoringGame : HeadlessGame {
    explicit ScoringGame(const std::string& score = "0")
    {
        type(time(), "30");
        type(this->score(), score);
        auto& box = this->score();
        const auto rank = box.onChange;
        box.onChange = [this, rank] {
            ++changes;
            rank();
        };
    }
    int changes = 0;
};

} // namespace

TEST(Scoring, EveryItemAddsItsValue)
{
    const int values[] = {15, -500, 50, -50, -70, 100, 10, 25, 50, 200, -100, 2, 300, 18, 20, 17, 15};
    for (int item = 1; item <= 17; ++item) {
        ScoringGame game;
        game.click(item);
        EXPECT_EQ(game.score().text(), std::to_string(values[item - 1])) << "item " << item;
        EXPECT_EQ(game.changes, 1);
        EXPECT_EQ(logic::item(item).scoreValue, values[item - 1]);
    }
    ScoringGame missed;
    missed.game().click(400, 300); // no item lies there
    EXPECT_EQ(missed.changes, 0);
}

TEST(Scoring, AClickAtTheEndsOfTheIntRangeCatchesNothing)
{
    // The page hands over whatever integer it computed; the model takes any without overflow.
    ScoringGame game;
    constexpr int low = std::numeric_limits<int>::min(), high = std::numeric_limits<int>::max();
    for (const auto& [x, y] : {std::pair{low, low}, {low, high}, {high, low}, {high, high}, {low, 100}, {300, high}})
        game.game().click(x, y);
    game.picture(11).setLeft(-60.0f); // an item reaching past the left edge, as a respawn may place it
    game.game().click(low, window::twipsToPixels(game.picture(11).top()));
    EXPECT_EQ(game.changes, 0);
}

TEST(Scoring, ClicksAccumulateAndTheRankFollowsEachWrite)
{
    ScoringGame game;
    game.click(4);
    EXPECT_EQ(game.score().text(), "-50");
    game.click(4);
    EXPECT_EQ(game.score().text(), "-100");
    EXPECT_EQ(game.caption(), "凸(▼△▼メ)");
    game.click(2);
    EXPECT_EQ(game.score().text(), "-600");
    EXPECT_EQ(game.caption(), "凸(-v-)凸");
    game.click(2);
    game.click(2);
    EXPECT_EQ(game.score().text(), "-1600");
    EXPECT_EQ(game.caption(), "凸(-v-)凸");
    EXPECT_EQ(game.changes, 5);
    for (int i = 0; i < 13; ++i)
        game.click(13);
    EXPECT_EQ(game.score().text(), "2300");
    EXPECT_EQ(game.caption(), "ナモロクリア");
}

TEST(Scoring, OnlyATimeBoxAboveZeroLetsACatchScore)
{
    const std::pair<const char*, bool> guards[] = {{"1", true}, {"0.5", true}, {"５", true},  {"0", false},
                                                   {"-3", false}, {"", false},  {"abc", false}, {"-", false}};
    for (const auto& [time, scores] : guards) {
        ScoringGame game;
        game.type(game.time(), time);
        game.click(6);
        EXPECT_EQ(game.score().text(), scores ? "100" : "0") << '"' << time << '"';
        EXPECT_EQ(game.changes, scores ? 1 : 0);
        EXPECT_FALSE(game.endStatus.has_value());
    }
}

TEST(Scoring, BeforeTheFirstCountdownTickNothingScores)
{
    HeadlessGame game;
    game.click(13);
    game.start();
    game.click(13);
    EXPECT_EQ(game.score().text(), "0");
    game.advanceToNextCountdownTick();
    game.click(13);
    EXPECT_EQ(game.score().text(), "300");
    game.playUntilTimeShows("0");
    game.click(13);
    EXPECT_EQ(game.score().text(), "300");
    game.type(game.time(), "7"); // the time box is the guard, whatever the phase
    game.click(13);
    EXPECT_EQ(game.score().text(), "600");
}

TEST(Scoring, ATypedScoreKeepsItsFraction)
{
    ScoringGame game("10.25");
    game.click(1);
    EXPECT_EQ(game.score().text(), "25.25");
    game.click(11);
    EXPECT_EQ(game.score().text(), "-74.75");
}

TEST(Scoring, Image11ReadsTheScoreStrictlyWhereTheOthersReadItLeniently)
{
    for (const char* typed : {"12abc", "1 2", "1e999", "--5"}) {
        ScoringGame strict(typed);
        strict.click(11);
        EXPECT_EQ(strict.score().text(), typed) << "Image11 leaves \"" << typed << "\" alone";
        EXPECT_EQ(strict.changes, 0);
    }
    ScoringGame lenient("12abc");
    lenient.click(1);
    EXPECT_EQ(lenient.score().text(), "27");
    ScoringGame spaced(" 1 2 ");
    spaced.click(1);
    EXPECT_EQ(spaced.score().text(), "27");

    ScoringGame same(" 250 ");
    same.click(11);
    EXPECT_EQ(same.score().text(), "150");
    ScoringGame fullWidth("１．５");
    fullWidth.click(11);
    EXPECT_EQ(fullWidth.score().text(), "-98.5");
}

TEST(Scoring, ASumBeyondTheDoubleRangeIsNotWritten)
{
    ScoringGame game("1e999"); // the lenient read is infinite
    game.click(6);
    EXPECT_EQ(game.score().text(), "1e999");
    EXPECT_EQ(game.changes, 0);
    EXPECT_TRUE(game.reported.empty());

    ScoringGame huge("1.7976931348623157e308");
    huge.click(13);
    EXPECT_EQ(huge.score().text(), runtime::formatNumber(1.7976931348623157e308));
}
