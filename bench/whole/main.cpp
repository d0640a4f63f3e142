// make bench: the game beside two references, each started afresh on a private Xvfb and
// measured from outside (a bare Qt window, and the moving floor: a bare Qt program doing the
// game's drawing); a whole game of the tick probe, clicked all along; the micro-benchmarks.
// Prints Markdown tables of medians, ratios and budgets, first the web page's figures if
// given, and writes the timeline figure.
//   namoro_bench [--web FIGURES.json] [--timeline OUT.png]

#include "Figures.h"
#include "Sessions.h"
#include "Timeline.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>

namespace {

std::optional<std::string> argument(int argc, char** argv, const char* name)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
try {
    using namespace namoro::bench;
    const auto began = std::chrono::steady_clock::now();
    if (const auto web = argument(argc, argv, "--web")) {
        printWebFigures(*web);
        std::fflush(stdout);
    }
    const Readings readings = runSessions();
    if (const auto timeline = argument(argc, argv, "--timeline"))
        drawTimeline(*timeline, readings);
    printFigures(readings); // each against its budget
    printTimers(readings.played.ticks);
    std::fflush(stdout);
    const std::chrono::duration<double, std::ratio<60>> took = std::chrono::steady_clock::now() - began;
    std::fprintf(stderr, "bench: done in %.1f min\n", took.count());
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "bench: %s\n", error.what());
    return 1;
}
