// One full repaint of the window's inner area into an offscreen image: background, rank
// caption, the 17 pictures and the two boxes.
#include "StartedGame.h"

#include "ui/PlayArea.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

using namespace namoro;

void repaintInnerArea(benchmark::State& state)
{
    runtime::VirtualClock clock;
    const auto game = bench::startedGame(clock);
    ui::PlayArea area(game->form(), game->dispatcher());
    area.resize(area.sizeHint());
    QImage target(area.size(), QImage::Format_ARGB32_Premultiplied);
    area.render(&target); // the first render polishes the widgets
    for (auto _ : state) {
        area.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(repaintInnerArea)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace
