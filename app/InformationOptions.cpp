#include "InformationOptions.h"

#include <cerrno>
#include <cstring>
#include <string_view>

namespace namoro::app {
namespace {

constexpr std::string_view kUsage = "Usage: namoro [Qt options]\n";

// Standard output is buffered: a write error may show only when the buffer goes out.
bool written(std::ostream& out, std::ostream& err)
{
    out.flush();
    if (out)
        return true;
    err << "namoro: write error" << (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()) << '\n';
    return false;
}

std::optional<int> answer(std::span<char* const> arguments, std::ostream& out)
{
    for (const char* argument : arguments.subspan(arguments.empty() ? 0 : 1)) {
        const std::string_view option = argument;
        if (option == "--version") {
            out << "namoro " NAMORO_RELEASE "\n";
            return 0;
        }
        if (option == "--help") {
            out << kUsage
                << "ナモロゲーム, a falling-items arcade game. Choose スタート from the ナモロゲーム menu,\n"
                   "then click the falling items for points until the 60 seconds run out; エンド quits.\n"
                   "Keys: F2 スタート, Ctrl+Q エンド, F10 opens the menu.\n"
                   "\n"
                   "  --help     show this help and exit\n"
                   "  --version  show the version and exit\n"
                   "\n"
                   "Any other argument goes to Qt, for example -platform wayland; one Qt does not take\n"
                   "either is refused.\n"
                   "See namoro(6) for the rules.\n";
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<int> answerInformationOptions(std::span<char* const> arguments, std::ostream& out, std::ostream& err)
{
    errno = 0;
    const auto answered = answer(arguments, out);
    if (answered && !written(out, err))
        return 1;
    return answered;
}

std::optional<int> refuseArgumentsLeft(std::span<char* const> arguments, std::ostream& err)
{
    if (arguments.size() < 2)
        return std::nullopt;
    const std::string_view first = arguments[1];
    err << "namoro: " << (first.starts_with('-') ? "unknown option " : "unexpected argument ") << first << '\n'
        << kUsage << "Try 'namoro --help' for more information.\n";
    return 2;
}

} // namespace namoro::app
