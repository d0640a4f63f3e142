// Every way out ends the program cleanly and at once.
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

TEST_F(Exit, AnotherClientDestroyingTheWindowEndsTheProgram)
{
    ASSERT_TRUE(game.waitForStartScreen().matches());
    xsession::ProcessOptions onDisplay = xsession::ProgramWindow::programOptions(game.display());
    ASSERT_TRUE(xsession::runCommand({"xdotool", "windowclose", game.window().windowId()}, onDisplay).succeeded());
    const auto status = game.waitForExit(2s);
    ASSERT_TRUE(status) << "the program runs on without its window";
    EXPECT_TRUE(status->success()) << status->describe();
}

} // namespace
} // namespace namoro::e2e
