// One whole game on the virtual clock: Start, then 60 seconds of every timer's ticks until the
// countdown stops them all.
#include "StartedGame.h"

#include <benchmark/benchmark.h>

namespace {

using namespace namoro;
using namespace std::chrono_literals;

void wholeGameOnVirtualClock(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming(); // building the window is the layout benchmark's
        runtime::VirtualClock clock;
        auto game = bench::startedGame(clock);
        state.ResumeTiming();

        game->choose(game->form().menuEntry("MenuStart").place());
        game->advanceTo(clock, 61s);

        state.PauseTiming();
        if (game->form().textBox("Text2").text() != "0")
            state.SkipWithError("the countdown did not reach 0");
        game.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(wholeGameOnVirtualClock)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace
