// namoro: builds the window from its stored layout, runs Load, then dispatches events until
// the player ends the game.

#include "GameProgram.h"

#include <QApplication>

int main(int argc, char** argv)
{
    const QApplication app(argc, argv);
    return namoro::app::runGame();
}
