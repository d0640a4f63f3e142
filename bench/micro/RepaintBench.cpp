// One full repaint of the window's inner area into an offscreen image: background, rank
// caption, the 17 pictures and the two boxes; at one logical pixel per device pixel and at a
// device pixel ratio of 1.5, where the pictures are smoothed.
#include "StartedGame.h"

#include "ui/PlayArea.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

using namespace namoro;

void repaintAt(benchmark::State& state, double ratio)
{
    runtime::VirtualClock clock;
    const auto game = bench::startedGame(clock);
    ui::PlayArea area(game->form(), *game);
    area.resize(area.sizeHint());
    QImage target(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(ratio);
    area.render(&target); // the first render polishes the widgets
    for (auto _ : state) {
        area.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
void repaintInnerArea(benchmark::State& state) { repaintAt(state, 1); }
void repaintInnerAreaAtOneAndAHalf(benchmark::State& state) { repaintAt(state, 1.5); }
BENCHMARK(repaintInnerArea)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(repaintInnerAreaAtOneAndAHalf)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace
