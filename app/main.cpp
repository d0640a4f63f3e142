// namoro: builds the window from its stored layout, runs Load, then dispatches events until
// the player ends the game.

#include "GameProgram.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Whole-number scaling keeps the pixel art crisp on high-density screens.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    const QApplication app(argc, argv);
    return namoro::app::runGame();
}
