// make bench: the game beside two references, each started afresh on a private Xvfb and
// measured from outside (a bare Qt window, and the moving floor: a bare Qt program doing the
// game's drawing); a whole game of the tick probe, clicked all along; the micro-benchmarks.
// Prints Markdown tables of medians, ratios and budgets, and writes the timeline figure.
//   namoro_bench [--timeline OUT.png]

#include "MicroBenchmarks.h"
#include "Sessions.h"
#include "TickRecord.h"

#include "PrivateDisplay.h"
#include "Process.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <thread>

namespace {

using namespace namoro;
using namespace namoro::bench;
using namespace std::chrono_literals;
using xsession::PrivateDisplay;
using Clock = std::chrono::steady_clock;

constexpr int kStartupsEach = 24;
constexpr int kScaledRunsEach = 2;
constexpr auto kScaledWindow = 15s;
constexpr auto kScreen = "1600x1200x24"; // room for the window at twice the scale

double median(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The nearest-rank percentile.
double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const auto rank = std::size_t(std::ceil(p / 100.0 * double(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

std::string fixed(double value, int decimals)
{
    if (std::isnan(value))
        return "–";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// One Markdown table, a row at a time.
class Table {
public:
    explicit Table(const std::vector<std::string>& headings) : columns_(headings.size())
    {
        std::string rule = "|";
        for (const std::string& heading : headings) {
            std::printf("| %s ", heading.c_str());
            rule += "---|";
        }
        std::printf("|\n%s\n", rule.c_str());
    }

    void row(const std::vector<std::string>& cells, std::optional<bool> met)
    {
        for (std::size_t i = 0; i + 1 < columns_; ++i)
            std::printf("| %s ", i < cells.size() ? cells[i].c_str() : "");
        std::printf("| %s |\n", met ? (*met ? "yes" : "**no**") : "");
    }

private:
    std::size_t columns_;
};

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

std::optional<std::string> argument(int argc, char** argv, const char* name)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    }
    return std::nullopt;
}

void progress(const char* what) { std::fprintf(stderr, "bench: %s\n", what); }

// The per-second series of the sessions, and the figure drawn from them.
void writeTimeline(const std::string& png, const std::vector<std::pair<std::string, const Meter*>>& programs)
{
    const std::string series = std::string(NAMORO_BENCH_DIR) + "/timeline.tsv";
    std::ofstream out(series);
    out << "phase\twaiting\t0\t" << Schedule::kStart << "\n"
        << "phase\trunning\t" << Schedule::kStart << "\t" << Schedule::kOver << "\n"
        << "phase\tover\t" << Schedule::kOver << "\t" << Schedule::kEnd << "\n"
        << "measured\twaiting\t" << Schedule::kWaitingFrom << "\t" << Schedule::kWaitingTo << "\n"
        << "measured\trunning\t" << Schedule::kRunningFrom << "\t" << Schedule::kRunningTo << "\n"
        << "measured\tover\t" << Schedule::kOverFrom << "\t" << Schedule::kOverTo << "\n";
    for (const char* kind : {"cpu", "wake"}) {
        for (const auto& [name, meter] : programs) {
            out << kind << "\t" << name;
            for (const Meter::Figures& f : meter->perInterval())
                out << "\t" << (std::strcmp(kind, "cpu") == 0 ? f.cpuPercent : f.wakeUpsPerSecond);
            out << "\n";
        }
    }
    out.close();
    const auto drawn = xsession::runCommand({NAMORO_BENCH_TIMELINE, series, png}, {}, 60s);
    if (!drawn.succeeded())
        throw std::runtime_error("the timeline figure could not be drawn");
}

} // namespace

int main(int argc, char** argv)
try {
    const auto began = Clock::now();
    const Program game{NAMORO_EXECUTABLE, "Form1"};
    const Program bare{NAMORO_REFERENCE, "Reference"};
    const Program floor{NAMORO_FLOOR, "Floor"};
    const Program probe{NAMORO_TICK_PROBE, "Form1"};
    const auto timeline = argument(argc, argv, "--timeline");

    PrivateDisplay display(kScreen), beside(kScreen);
    progress("warming up");
    for (const Program* program : {&bare, &game, &floor})
        measureStartup(display, *program);

    progress("start-up, interleaved launches");
    std::vector<double> startups, startupsBare;
    for (int i = 0; i < kStartupsEach; ++i) {
        // Each pair in the other order than the last.
        if (i % 2 == 0)
            startupsBare.push_back(measureStartup(display, bare));
        startups.push_back(measureStartup(display, game));
        if (i % 2 == 1)
            startupsBare.push_back(measureStartup(display, bare));
    }

    progress("the game and the bare window side by side: waiting, running, over (about 2.5 minutes)");
    const auto gameAndBare = runSession({{&display, game}, {&beside, bare}});
    progress("the moving floor: waiting, running, over (about 2.5 minutes)");
    const auto floorRun = runSession({{&display, floor}});
    const SessionRun& ours = gameAndBare[0];
    const SessionRun& bareRun = gameAndBare[1];
    const SessionRun& floorSession = floorRun[0];

    progress("running at twice the scale, interleaved");
    std::vector<Meter::Figures> scaled, scaledFloor;
    for (int i = 0; i < kScaledRunsEach; ++i) {
        if (i % 2 == 1)
            scaledFloor.push_back(measureRunning(display, floor, 2, kScaledWindow));
        scaled.push_back(measureRunning(display, game, 2, kScaledWindow));
        if (i % 2 == 0)
            scaledFloor.push_back(measureRunning(display, floor, 2, kScaledWindow));
    }

    progress("a whole game of the tick probe, clicked all along (about a minute)");
    PlayedGame played = playWithClicks(display, probe, NAMORO_PICTURE_DIR);
    std::sort(played.ticks.timers.begin(), played.ticks.timers.end(), [](const auto& a, const auto& b) {
        return std::stoi(a.name.substr(5)) < std::stoi(b.name.substr(5)); // "Timer7" before "Timer10"
    });
    progress("micro-benchmarks");
    const auto micro = runMicroBenchmarks(NAMORO_MICRO_BENCH);
    if (timeline) {
        progress("drawing the timeline");
        writeTimeline(*timeline, {{"bare window", &bareRun.meter}, {"moving floor", &floorSession.meter},
                                  {"namoro", &ours.meter}});
    }

    // The table.
    std::printf("Under Xvfb on %s: medians of %d interleaved start-ups each; one session each for waiting, "
                "running and over; medians of %d interleaved %lld-s runs at twice the scale; one clicked game "
                "of the tick probe.\n\n",
                machine().c_str(), kStartupsEach, kScaledRunsEach, static_cast<long long>(kScaledWindow.count()));
    Table table({"figure", "namoro", "reference", "ratio", "budget", "met"});
    const double startup = median(startups), startupBare = median(startupsBare);
    table.row({"start-up to first frame shown (ms)", fixed(startup, 1), fixed(startupBare, 1) + " (bare window)",
               fixed(startup / startupBare, 2), "ratio ≤ 1.05"},
              startup / startupBare <= 1.05);
    table.row({"peak resident memory (MiB)", fixed(ours.peakMiB, 1), fixed(bareRun.peakMiB, 1) + " (bare window)",
               fixed(ours.peakMiB / bareRun.peakMiB, 2), "ratio ≤ 1.1"},
              ours.peakMiB / bareRun.peakMiB <= 1.1);

    auto idleRows = [&](const char* phase, double from, double to) {
        const auto f = ours.meter.between(from, to);
        const auto r = bareRun.meter.between(from, to);
        table.row({std::string("CPU ") + phase + " (% of a core)", fixed(f.cpuPercent, 3),
                   fixed(r.cpuPercent, 3) + " (bare window)", "", "≤ 0.05 %"},
                  f.cpuPercent <= 0.05);
        table.row({std::string("wake-ups per second ") + phase, fixed(f.wakeUpsPerSecond, 1),
                   fixed(r.wakeUpsPerSecond, 1) + " (bare window)", "", "≤ 1"},
                  f.wakeUpsPerSecond <= 1);
    };
    idleRows("while waiting, before Start", Schedule::kWaitingFrom, Schedule::kWaitingTo);

    auto runningRows = [&](const char* scale, Meter::Figures f, Meter::Figures r) {
        table.row({std::string("CPU while running, ") + scale + " (% of a core)", fixed(f.cpuPercent, 2),
                   fixed(r.cpuPercent, 2) + " (moving floor)", fixed(f.cpuPercent / r.cpuPercent, 2), "ratio ≤ 1.1"},
                  f.cpuPercent / r.cpuPercent <= 1.1);
        table.row({std::string("wake-ups per second while running, ") + scale, fixed(f.wakeUpsPerSecond, 1),
                   fixed(r.wakeUpsPerSecond, 1) + " (moving floor)", fixed(f.wakeUpsPerSecond / r.wakeUpsPerSecond, 2),
                   "ratio ≤ 1.1"},
                  f.wakeUpsPerSecond / r.wakeUpsPerSecond <= 1.1);
    };
    runningRows("scale 1", ours.meter.between(Schedule::kRunningFrom, Schedule::kRunningTo),
                floorSession.meter.between(Schedule::kRunningFrom, Schedule::kRunningTo));
    auto medianOf = [](const std::vector<Meter::Figures>& runs) {
        std::vector<double> cpu, wake;
        for (const auto& f : runs) {
            cpu.push_back(f.cpuPercent);
            wake.push_back(f.wakeUpsPerSecond);
        }
        return Meter::Figures{median(cpu), median(wake)};
    };
    runningRows("scale 2", medianOf(scaled), medianOf(scaledFloor));
    idleRows("after the game is over", Schedule::kOverFrom, Schedule::kOverTo);

    const double clickMedian = median(played.clickMs), click99 = percentile(played.clickMs, 99);
    const std::string clicks = std::to_string(played.clickMs.size()) + " clicks that scored, " +
                               std::to_string(played.misses) + " misses left out";
    table.row({"click on an item to the score box's damage, median (ms; " + clicks + ")", fixed(clickMedian, 2), "",
               "", ""},
              std::nullopt);
    table.row({"click on an item to the score box's damage, 99th percentile (ms)", fixed(click99, 2), "", "",
               "≤ 16.7 ms"},
              played.clickMs.size() >= 200 && click99 <= 16.7);

    std::vector<double> allLate;
    double worst99 = 0;
    std::string worstTimer;
    for (const auto& timer : played.ticks.timers) {
        const auto late = lateness(played.ticks, timer);
        allLate.insert(allLate.end(), late.begin(), late.end());
        if (const double p = percentile(late, 99); p > worst99) {
            worst99 = p;
            worstTimer = timer.name;
        }
    }
    // The moving floor's own ticks, as it printed them on End: "late MEDIAN P99".
    double floorLate = NAN, floorLate99 = NAN;
    std::sscanf(floorSession.output.c_str(), "late %lf %lf", &floorLate, &floorLate99);
    table.row({"tick lateness while running, all ticks: median (ms)", fixed(median(allLate), 3),
               fixed(floorLate, 3) + " (moving floor)", "", ""},
              std::nullopt);
    table.row({"tick lateness while running, all ticks: 99th percentile (ms)", fixed(percentile(allLate, 99), 3),
               fixed(floorLate99, 3) + " (moving floor)", "", "≤ 2 ms"},
              percentile(allLate, 99) <= 2);
    table.row({"tick lateness while running: the worst timer's 99th percentile (ms; " + worstTimer + ")",
               fixed(worst99, 3), "", "", "≤ 2 ms"},
              worst99 <= 2);
    const auto& ticks = played.ticks;
    const double countdown = ticks.zero ? double((*ticks.zero - ticks.start).count()) / 1e6 : NAN;
    table.row({"wall time from Start to \"0\" (s)", fixed(countdown, 3), "", "", "59 to 60 s"},
              countdown >= 59 && countdown <= 60);

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
        table.row({m.figure, fixed(ms, 3), "", "", "≤ " + fixed(m.budgetMs, 0) + " ms"}, ms <= m.budgetMs);
    }

    std::printf("\nEach timer over the same game: ticks per second over the first 10 s of play against the "
                "classic 1/64 s pacing, and how late its ticks came (delivered minus due) from Start to \"0\".\n\n");
    Table timers({"timer", "interval (ms)", "ticks/s", "classic pacing", "ratio", "late, median (ms)",
                  "late, 99th percentile (ms)", "within 1 % and ≤ 2 ms"});
    for (const auto& timer : ticks.timers) {
        const auto rate = tickRate(ticks, timer, 10s);
        const double classic = classicTicksPerSecond(timer.intervalMs);
        const auto late = lateness(ticks, timer);
        const double ratio = rate.perSecond / classic, p99 = percentile(late, 99);
        timers.row({timer.name, std::to_string(timer.intervalMs), fixed(rate.perSecond, 3), fixed(classic, 3),
                    fixed(ratio, 4), fixed(median(late), 3), fixed(p99, 3)},
                   std::abs(ratio - 1) <= 0.01 && p99 <= 2);
    }
    std::fflush(stdout);
    std::fprintf(stderr, "bench: done in %.1f min\n", std::chrono::duration<double>(Clock::now() - began).count() / 60);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "bench: %s\n", error.what());
    return 1;
}
