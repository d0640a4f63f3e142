// make bench: the game and a bare Qt window, each started afresh on a private Xvfb in
// interleaved runs, measured from outside; the timers' pacing from the tick probe; and the
// micro-benchmarks. Prints one Markdown table of medians, ratios and budgets.

#include "FirstFrameWatch.h"
#include "MicroBenchmarks.h"
#include "ProcessMeter.h"
#include "TickRecord.h"

#include "PrivateDisplay.h"
#include "ProgramWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

using namespace namoro;
using namespace std::chrono_literals;
using xsession::ProgramWindow;
using xsession::PrivateDisplay;
using xsession::Subprocess;
using Clock = std::chrono::steady_clock;

constexpr int kInnerHeight = 536;
constexpr auto kSettle = 1s;          // start-up work that trails the first frame
constexpr auto kCpuWindow = 5s;       // each CPU figure is measured over this much wall time
constexpr auto kTickWindow = 10s;
constexpr auto kShortTickWindow = 5s;
constexpr auto kGameLength = 62s;     // Start to "0" is 59 to 60 s, plus margin
constexpr int kLaunchesPerRun = 3;    // start-up is noisy and cheap: more samples of it

struct Program {
    std::string path;
    std::string caption;
    bool isGame = false;
};

struct RunFigures {
    double startupMs = 0;
    double waitingCpu = 0; // percent of one core
    double runningCpu = 0;
    double peakMiB = 0;
};

double median(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The share of one core that `pid` uses over `window` of wall time, in percent.
double cpuShare(pid_t pid, std::chrono::milliseconds window)
{
    const auto cpu0 = bench::cpuTime(pid);
    const auto wall0 = Clock::now();
    std::this_thread::sleep_for(window);
    const auto cpu1 = bench::cpuTime(pid);
    const auto wall1 = Clock::now();
    if (!cpu0 || !cpu1)
        throw std::runtime_error("cannot read the CPU time of process " + std::to_string(pid));
    return 100.0 * double((*cpu1 - *cpu0).count()) / double(std::chrono::nanoseconds(wall1 - wall0).count());
}

// Starts `program` and waits for its first frame; the time that took, and its window.
std::pair<double, ProgramWindow> launch(const PrivateDisplay& display, const Program& program,
                                        xsession::SpawnOptions options)
{
    bench::FirstFrameWatch watch(display.name());
    options.err = xsession::SpawnOptions::Stream::Discard;
    const auto begin = Clock::now();
    Subprocess child({program.path}, options);
    const auto frame = watch.waitForFirstFrame(program.caption, 30s);
    if (!frame)
        throw std::runtime_error(program.path + " showed no frame within 30 s");
    const double ms = std::chrono::duration<double, std::milli>(*frame - begin).count();
    return {ms, ProgramWindow(display, std::move(child), {program.caption, kInnerHeight})};
}

void end(ProgramWindow& window)
{
    window.chooseMenuCommand(1, 2);
    if (!window.process().waitFor(5s))
        throw std::runtime_error(window.process().program() + " did not end within 5 s of End");
}

// Whether the pictures move: two screenshots of the inner area differ.
bool moving(ProgramWindow& window)
{
    const xsession::Image before = window.screenshot();
    const auto deadline = Clock::now() + 5s;
    while (Clock::now() < deadline) {
        if (xsession::countDifferences(before, window.screenshot(), window.innerArea()) > 0)
            return true;
    }
    return false;
}

// Start-up alone: launched, first frame, ended.
double measureStartup(const PrivateDisplay& display, const Program& program)
{
    auto [startupMs, window] = launch(display, program, ProgramWindow::programOptions(display));
    window.process().terminate();
    return startupMs;
}

// One run: start-up, CPU while waiting, Start, CPU while running, peak memory, End.
RunFigures measureRun(const PrivateDisplay& display, const Program& program)
{
    RunFigures figures;
    auto [startupMs, window] = launch(display, program, ProgramWindow::programOptions(display));
    figures.startupMs = startupMs;
    const pid_t pid = window.process().pid();
    std::this_thread::sleep_for(kSettle);
    figures.waitingCpu = cpuShare(pid, kCpuWindow);
    window.chooseMenuCommand(0, 2); // Start; the reference's does nothing
    if (program.isGame && !moving(window))
        throw std::runtime_error("the items did not move after Start");
    std::this_thread::sleep_for(kSettle);
    figures.runningCpu = cpuShare(pid, kCpuWindow);
    figures.peakMiB = double(bench::peakResidentKiB(pid).value_or(0)) / 1024.0;
    end(window);
    return figures;
}

bench::TickRecord recordTicks(const PrivateDisplay& display, const Program& probe)
{
    auto options = ProgramWindow::programOptions(display);
    options.out = xsession::SpawnOptions::Stream::Capture;
    auto [startupMs, window] = launch(display, probe, options);
    std::this_thread::sleep_for(kSettle);
    window.chooseMenuCommand(0, 2);
    std::this_thread::sleep_for(kGameLength);
    window.chooseMenuCommand(1, 2);
    const std::string output = window.process().readOutput(10s);
    window.process().waitFor(5s);
    auto record = bench::TickRecord::parse(output);
    if (!record)
        throw std::runtime_error("the tick probe reported no ticks");
    return *record;
}

// The table, one row at a time.
class Table {
public:
    Table() { std::printf("| figure | namoro | reference or classic pacing | ratio | budget | met |\n|---|---|---|---|---|---|\n"); }

    void row(const std::string& figure, const std::string& value, const std::string& reference,
             const std::string& ratio, const std::string& budget, std::optional<bool> met)
    {
        std::printf("| %s | %s | %s | %s | %s | %s |\n", figure.c_str(), value.c_str(), reference.c_str(),
                    ratio.c_str(), budget.c_str(), met ? (*met ? "yes" : "**no**") : "");
        std::fflush(stdout);
    }
};

std::string fixed(double value, int decimals)
{
    if (std::isnan(value))
        return "–";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string machine()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string model;
    for (std::string line; std::getline(cpuinfo, line);) {
        if (line.rfind("model name", 0) == 0) {
            model = line.substr(line.find(':') + 2);
            break;
        }
    }
    return std::to_string(std::thread::hardware_concurrency()) + " × " + model;
}

int runs(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0)
            return std::max(1, std::atoi(argv[i + 1]));
    }
    return 5;
}

} // namespace

int main(int argc, char** argv)
try {
    const Program game{NAMORO_EXECUTABLE, "Form1", true};
    const Program reference{NAMORO_REFERENCE, "Reference", false};
    const Program probe{NAMORO_TICK_PROBE, "Form1", true};
    const int n = runs(argc, argv);

    PrivateDisplay display;
    std::fprintf(stderr, "warming up\n");
    measureRun(display, reference);
    measureRun(display, game);
    std::vector<RunFigures> ours, theirs;
    std::vector<double> startups, startupsRef;
    for (int i = 0; i < n; ++i) {
        std::fprintf(stderr, "run %d of %d\n", i + 1, n);
        // Interleaved, and each pair in the other order than the last.
        const bool referenceFirst = i % 2 == 0;
        for (int k = 0; k < kLaunchesPerRun; ++k) {
            if (referenceFirst)
                startupsRef.push_back(measureStartup(display, reference));
            startups.push_back(measureStartup(display, game));
            if (!referenceFirst)
                startupsRef.push_back(measureStartup(display, reference));
        }
        if (referenceFirst)
            theirs.push_back(measureRun(display, reference));
        ours.push_back(measureRun(display, game));
        if (!referenceFirst)
            theirs.push_back(measureRun(display, reference));
    }
    for (std::size_t i = 0; i < ours.size(); ++i) {
        startups.push_back(ours[i].startupMs);
        startupsRef.push_back(theirs[i].startupMs);
    }
    std::fprintf(stderr, "a whole game with the tick probe (about a minute)\n");
    bench::TickRecord ticks = recordTicks(display, probe);
    std::sort(ticks.timers.begin(), ticks.timers.end(), [](const auto& a, const auto& b) {
        return std::stoi(a.name.substr(5)) < std::stoi(b.name.substr(5)); // "Timer7" before "Timer10"
    });
    std::fprintf(stderr, "micro-benchmarks\n");
    const auto micro = bench::runMicroBenchmarks(NAMORO_MICRO_BENCH);

    auto pick = [](const std::vector<RunFigures>& runs, double RunFigures::*field) {
        std::vector<double> values;
        for (const RunFigures& run : runs)
            values.push_back(run.*field);
        return median(values);
    };

    std::printf("namoro beside a bare Qt window of the same size with the same menu bar, under Xvfb on %s: "
                "medians of %zu interleaved start-ups and %d interleaved runs each; CPU is the kernel's "
                "accounting of all the program's threads.\n\n",
                machine().c_str(), startups.size(), n);
    Table table;
    const double startup = median(startups), startupRef = median(startupsRef);
    table.row("start-up to first frame shown (ms)", fixed(startup, 1), fixed(startupRef, 1),
              fixed(startup / startupRef, 2), "ratio ≤ 1.15", startup / startupRef <= 1.15);
    const double waiting = pick(ours, &RunFigures::waitingCpu);
    table.row("CPU while waiting, before Start (% of a core)", fixed(waiting, 2),
              fixed(pick(theirs, &RunFigures::waitingCpu), 2), "", "≤ 0.5 %", waiting <= 0.5);
    const double running = pick(ours, &RunFigures::runningCpu);
    table.row("CPU while running, all items falling (% of a core)", fixed(running, 2),
              fixed(pick(theirs, &RunFigures::runningCpu), 2), "", "≤ 5 %", running <= 5.0);
    const double peak = pick(ours, &RunFigures::peakMiB), peakRef = pick(theirs, &RunFigures::peakMiB);
    table.row("peak resident memory (MiB)", fixed(peak, 1), fixed(peakRef, 1), fixed(peak / peakRef, 2),
              "ratio ≤ 1.2", peak / peakRef <= 1.2);

    auto tickRow = [&](const bench::TickRecord::Timer& timer, bench::Micros window, const std::string& label) {
        const auto rate = bench::tickRate(ticks, timer, window);
        const double classic = bench::classicTicksPerSecond(timer.intervalMs);
        const double ratio = rate.perSecond / classic;
        const std::string figure = label + " " + timer.name + " (" + std::to_string(timer.intervalMs) +
                                   " ms), ticks/s over " + std::to_string(window.count() / 1'000'000) +
                                   " s of play (" + std::to_string(rate.ticks) + " ticks)";
        table.row(figure, fixed(rate.perSecond, 3), fixed(classic, 3), fixed(ratio, 4), "within 1 %",
                  std::abs(ratio - 1) <= 0.01);
    };
    for (const auto& timer : ticks.timers)
        tickRow(timer, kTickWindow, "timer");
    // The fastest item, the slowest, and one between.
    const std::pair<const char*, const char*> items[] = {
        {"item 10,", "Timer10"}, {"item 11,", "Timer11"}, {"item 17,", "Timer18"}};
    for (const auto& [item, name] : items) {
        for (const auto& timer : ticks.timers) {
            if (timer.name == name)
                tickRow(timer, kShortTickWindow, item);
        }
    }
    const double countdown = ticks.zero ? double((*ticks.zero - ticks.start).count()) / 1e6 : NAN;
    table.row("wall time from Start to \"0\" (s)", fixed(countdown, 3), "", "", "60 to 61 s",
              countdown >= 60 && countdown <= 61);

    struct Micro {
        const char* name;
        const char* figure;
        double budgetMs;
    };
    const Micro micros[] = {
        {"readLayoutAndDecodePictures", "reading the stored layout and decoding the 17 pictures (ms)", 2},
        {"repaintInnerArea", "one full repaint of the inner area, offscreen (ms)", 1},
        {"repaintInnerAreaAtOneAndAHalf", "the same at a device pixel ratio of 1.5 (ms)", 1},
        {"wholeGameOnVirtualClock", "one whole 60-second game on the virtual clock (ms)", 5},
    };
    for (const Micro& m : micros) {
        const auto found = micro.find(m.name);
        const double ms = found == micro.end() ? NAN : found->second;
        table.row(m.figure, fixed(ms, 3), "", "", "≤ " + fixed(m.budgetMs, 0) + " ms", ms <= m.budgetMs);
    }
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "bench: %s\n", error.what());
    return 1;
}
