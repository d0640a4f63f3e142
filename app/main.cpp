// namoro: builds the window from its stored layout, runs Load, then dispatches events until
// the player ends the game.

#include "GameProgram.h"
#include "InformationOptions.h"

#include <QApplication>

#include <cstdlib>
#include <iostream>
#include <span>
#include <string_view>

namespace {

bool set(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

// Qt aborts when its window system is not there. Without a display named and no platform
// chosen there is none to try: say so and fail as a program should.
bool displayNamed(std::span<char* const> arguments)
{
    if (set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM"))
        return true;
    for (const std::string_view argument : arguments) {
        if (argument == "-platform" || argument == "--platform")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (const auto status = namoro::app::answerInformationOptions({argv, static_cast<std::size_t>(argc)}, std::cout, std::cerr))
        return *status; // before Qt, so that neither needs a display
    if (!displayNamed({argv, static_cast<std::size_t>(argc)})) {
        std::cerr << "namoro: found no display: neither DISPLAY nor WAYLAND_DISPLAY is set\n";
        return 1;
    }
    const QApplication app(argc, argv); // takes its own options out of the command line
    if (const auto status = namoro::app::refuseArgumentsLeft({argv, static_cast<std::size_t>(argc)}, std::cerr))
        return *status;
    return namoro::app::runGame();
}
