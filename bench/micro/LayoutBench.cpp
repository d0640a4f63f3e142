// Reading the stored layout: the window's records and the 17 pictures decoded from their GIFs.
#include "assets/EmbeddedLayout.h"
#include "forms/FormBuilder.h"

#include <benchmark/benchmark.h>

namespace {

using namespace namoro;

void readLayoutAndDecodePictures(benchmark::State& state)
{
    runtime::VirtualClock clock;
    for (auto _ : state) {
        runtime::TimerScheduler scheduler(clock);
        runtime::EventDispatcher dispatcher;
        auto form = window::loadForm(assets::form1Layout(), scheduler, dispatcher);
        if (!form)
            state.SkipWithError(form.error().message().c_str());
        benchmark::DoNotOptimize(form);
    }
}
BENCHMARK(readLayoutAndDecodePictures)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace
