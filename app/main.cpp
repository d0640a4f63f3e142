// namoro: builds the window from its stored layout, runs Load, then dispatches events until
// the player ends the game.

#include "GameProgram.h"
#include "InformationOptions.h"

#include <QApplication>

#include <iostream>

int main(int argc, char** argv)
{
    if (const auto status = namoro::app::answerInformationOptions({argv, static_cast<std::size_t>(argc)}, std::cout, std::cerr))
        return *status; // before Qt, so that neither needs a display
    const QApplication app(argc, argv);
    return namoro::app::runGame();
}
