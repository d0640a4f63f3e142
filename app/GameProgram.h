#pragma once

#include "logic/Game.h"
#include "runtime/Clock.h"

#include <functional>

namespace namoro::app {

// What a measuring harness may add around one run of the game; the game itself needs none.
struct RunHooks {
    std::function<void(logic::Game&, const runtime::Clock&)> beforeLoad;
    std::function<void(logic::Game&)> afterEnd;
};

// Builds the window from the embedded layout, runs Load, shows the window and dispatches
// events until the game ends. Needs a QApplication; returns the program's exit status.
int runGame(const RunHooks& hooks = {});

} // namespace namoro::app
