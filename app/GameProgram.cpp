#include "GameProgram.h"

#include "assets/EmbeddedLayout.h"
#include "packaging/ProgramIcon.h"
#include "ui/ClockDriver.h"
#include "ui/CursorBlinkTimeout.h"
#include "ui/ErrorReport.h"
#include "ui/GameWindow.h"

#include <QApplication>

namespace namoro::app {
namespace {

// The program leaves its event loop when the game ends, with the game's status.
struct ProgramEnd final : window::FormListener {
    void ended(int status) override { QCoreApplication::exit(status); }
};

} // namespace

int runGame(const RunHooks& hooks)
{
    QApplication::setApplicationName(QStringLiteral(NAMORO_WM_CLASS)); // the X11 window class
    QApplication::setApplicationVersion(QStringLiteral(NAMORO_VERSION));
    QApplication::setWindowIcon(packaging::programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral(NAMORO_APP_ID)); // ties the window to its menu entry

    runtime::SteadyClock clock;
    ProgramEnd end; // outlives the game it listens to
    auto created = logic::Game::create(assets::form1Layout(), clock, std::make_unique<runtime::MersenneRandom>());
    if (!created) {
        ui::reportRuntimeError(nullptr, runtime::RuntimeError(runtime::ErrorNumber::InvalidFileFormat, created.error()));
        return 1;
    }
    logic::Game& game = **created;
    if (hooks.beforeLoad)
        hooks.beforeLoad(game, clock);

    ui::GameWindow window(game.form(), game);
    ui::ClockDriver driver(game);
    game.form().listen(end);

    game.start(); // Load runs before any tick or click
    int status = 0;
    if (const auto failed = game.exitStatus()) {
        status = *failed;
    } else {
        window.show();
        window.playArea().focusFirstTextBox();
        driver.start();
        const ui::CursorBlinkTimeout blinkTimeout(*QCoreApplication::instance());
        status = QApplication::exec();
    }
    if (hooks.afterEnd)
        hooks.afterEnd(game);
    return status;
}

} // namespace namoro::app
