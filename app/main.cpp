// namoro: starts the runtime, builds the window from its stored layout, runs Load, then
// dispatches events until the player ends the game.

#include "assets/EmbeddedLayout.h"
#include "logic/Game.h"
#include "packaging/ProgramIcon.h"
#include "ui/ClockDriver.h"
#include "ui/ErrorReport.h"
#include "ui/GameWindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    using namespace namoro;

    // Whole-number scaling keeps the pixel art crisp on high-density screens.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("namoro"));
    QApplication::setApplicationVersion(QStringLiteral(NAMORO_VERSION));
    QApplication::setWindowIcon(packaging::programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral(NAMORO_APP_ID)); // ties the window to its menu entry

    runtime::SteadyClock clock;
    auto game = logic::Game::create(assets::form1Layout(), clock, std::make_unique<runtime::MersenneRandom>());
    if (!game) {
        ui::reportRuntimeError(nullptr, runtime::RuntimeError(runtime::ErrorNumber::InvalidFileFormat, game.error()));
        return 1;
    }

    ui::GameWindow window((*game)->form(), (*game)->dispatcher());
    ui::ClockDriver driver((*game)->scheduler());
    auto& dispatcher = (*game)->dispatcher();
    dispatcher.setErrorReport([&window](const runtime::RuntimeError& error) { ui::reportRuntimeError(&window, error); });
    dispatcher.setEndRequest([](int status) { QCoreApplication::exit(status); });

    (*game)->start(); // Load runs before any tick or click
    if (const auto status = dispatcher.exitStatus())
        return *status;

    window.show();
    window.playArea().focusFirstTextBox();
    driver.start();
    return QApplication::exec();
}
