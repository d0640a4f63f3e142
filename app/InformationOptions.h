#pragma once

#include <optional>
#include <ostream>
#include <span>

namespace namoro::app {

// Answers --help and --version on `out` without touching any window system, so that both
// work without a display. Returns the exit status when one of them was asked for; the game
// takes no other options, and every other argument is left to Qt. An answer that cannot be
// written (a full disk, a closed pipe) is a failure, reported on `err` as other tools do.
std::optional<int> answerInformationOptions(std::span<char* const> arguments, std::ostream& out, std::ostream& err);

// What is left of the command line once Qt has taken its own options is a mistake: names the
// first argument left on `err`, with the usage, and returns the exit status of a usage error.
std::optional<int> refuseArgumentsLeft(std::span<char* const> arguments, std::ostream& err);

} // namespace namoro::app
