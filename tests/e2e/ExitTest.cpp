// Both ways out end the program cleanly and at once.
#include "GameOnX.h"

#include <gtest/gtest.h>

namespace namoro::e2e {
namespace {

class Exit : public testing::Test {
protected:
    GameOnX game;
};

TEST_F(Exit, TheEndCommandEndsTheProgramWithStatusZero)
{
    ASSERT_TRUE(game.waitForStartScreen().matches());
    game.chooseEnd();
    const auto status = game.waitForExit(1s);
    ASSERT_TRUE(status) << "the program still runs a second after End";
    EXPECT_TRUE(status->success()) << status->describe();
}

TEST_F(Exit, ClosingTheWindowEndsTheProgramWithStatusZero)
{
    ASSERT_TRUE(game.waitForStartScreen().matches());
    game.window().requestClose();
    const auto status = game.waitForExit(1s);
    ASSERT_TRUE(status) << "the program still runs a second after its window was closed";
    EXPECT_TRUE(status->success()) << status->describe();
}

} // namespace
} // namespace namoro::e2e
