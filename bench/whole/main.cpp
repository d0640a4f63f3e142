// make bench: the game beside two references, each started afresh on a private Xvfb and
// measured from outside (a bare Qt window, and the moving floor: a bare Qt program doing the
// game's drawing); a whole game of the tick probe, clicked all along; the micro-benchmarks.
// Prints Markdown tables of medians, ratios and budgets, and writes the timeline figure.
//   namoro_bench [--timeline OUT.png]

#include "MicroBenchmarks.h"
#include "Sessions.h"
#include "TickRecord.h"

#include "tests/xsession/PrivateDisplay.h"
#include "tests/xsession/Process.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
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

const Program kGame{NAMORO_EXECUTABLE, "Form1"};
const Program kBare{NAMORO_REFERENCE, "Reference"};
const Program kFloor{NAMORO_FLOOR, "Floor"};
const Program kProbe{NAMORO_TICK_PROBE, "Form1"};

// Everything the sessions measured.
struct Sessions {
    std::vector<double> startups, startupsBare;
    std::vector<SessionRun> runs; // the game, the bare window, the moving floor
    std::vector<Meter::Figures> scaled, scaledFloor;
    PlayedGame played;
    std::map<std::string, double> micro;

    const SessionRun& game() const { return runs[0]; }
    const SessionRun& bare() const { return runs[1]; }
    const SessionRun& floor() const { return runs[2]; }
};

// Launch after launch, each pair in the other order than the last.
void measureStartups(const PrivateDisplay& display, Sessions& s)
{
    progress("warming up");
    for (const Program* program : {&kBare, &kGame, &kFloor})
        measureStartup(display, *program);
    progress("start-up, interleaved launches");
    for (int i = 0; i < kStartupsEach; ++i) {
        if (i % 2 == 0)
            s.startupsBare.push_back(measureStartup(display, kBare));
        s.startups.push_back(measureStartup(display, kGame));
        if (i % 2 == 1)
            s.startupsBare.push_back(measureStartup(display, kBare));
    }
}

void measureScaled(const PrivateDisplay& display, Sessions& s)
{
    progress("running at twice the scale, interleaved");
    for (int i = 0; i < kScaledRunsEach; ++i) {
        if (i % 2 == 1)
            s.scaledFloor.push_back(measureRunning(display, kFloor, 2, kScaledWindow));
        s.scaled.push_back(measureRunning(display, kGame, 2, kScaledWindow));
        if (i % 2 == 0)
            s.scaledFloor.push_back(measureRunning(display, kFloor, 2, kScaledWindow));
    }
}

Sessions runSessions()
{
    PrivateDisplay display(kScreen), beside(kScreen);
    Sessions s;
    measureStartups(display, s);
    progress("the game and the bare window side by side: waiting, running, over (about 2.5 minutes)");
    s.runs = runSession({{&display, kGame}, {&beside, kBare}});
    progress("the moving floor: waiting, running, over (about 2.5 minutes)");
    s.runs.push_back(runSession({{&display, kFloor}})[0]);
    measureScaled(display, s);
    progress("a whole game of the tick probe, clicked all along (about a minute)");
    s.played = playWithClicks(display, kProbe, NAMORO_PICTURE_DIR);
    std::sort(s.played.ticks.timers.begin(), s.played.ticks.timers.end(), [](const auto& a, const auto& b) {
        return std::stoi(a.name.substr(5)) < std::stoi(b.name.substr(5)); // "Timer7" before "Timer10"
    });
    progress("micro-benchmarks");
    s.micro = runMicroBenchmarks(NAMORO_MICRO_BENCH);
    return s;
}

// The figures the table shows, from the sessions' readings.
struct Statistics {
    double startup = 0, startupBare = 0;
    double peakMiB = 0, peakMiBBare = 0;
    Meter::Figures waiting, waitingBare, over, overBare;
    Meter::Figures running, runningFloor, scaled, scaledFloor;
    double clickMedian = 0, click99 = 0;
    std::size_t clicks = 0;
    int misses = 0;
    double lateMedian = 0, late99 = 0, worstLate99 = 0;
    std::string worstTimer;
    double floorLate = NAN, floorLate99 = NAN; // as the moving floor printed them on End
    double countdownS = NAN;
    std::map<std::string, double> micro;

    double microMs(const std::string& name) const
    {
        const auto found = micro.find(name);
        return found == micro.end() ? NAN : found->second;
    }
};

Meter::Figures medianOf(const std::vector<Meter::Figures>& runs)
{
    std::vector<double> cpu, wake;
    for (const auto& f : runs) {
        cpu.push_back(f.cpuPercent);
        wake.push_back(f.wakeUpsPerSecond);
    }
    return Meter::Figures{median(cpu), median(wake)};
}

Statistics summarise(const Sessions& s)
{
    Statistics t;
    t.startup = median(s.startups);
    t.startupBare = median(s.startupsBare);
    t.peakMiB = s.game().peakMiB;
    t.peakMiBBare = s.bare().peakMiB;
    t.waiting = s.game().meter.between(Schedule::kWaitingFrom, Schedule::kWaitingTo);
    t.waitingBare = s.bare().meter.between(Schedule::kWaitingFrom, Schedule::kWaitingTo);
    t.over = s.game().meter.between(Schedule::kOverFrom, Schedule::kOverTo);
    t.overBare = s.bare().meter.between(Schedule::kOverFrom, Schedule::kOverTo);
    t.running = s.game().meter.between(Schedule::kRunningFrom, Schedule::kRunningTo);
    t.runningFloor = s.floor().meter.between(Schedule::kRunningFrom, Schedule::kRunningTo);
    t.scaled = medianOf(s.scaled);
    t.scaledFloor = medianOf(s.scaledFloor);
    t.clickMedian = median(s.played.clickMs);
    t.click99 = percentile(s.played.clickMs, 99);
    t.clicks = s.played.clickMs.size();
    t.misses = s.played.misses;

    std::vector<double> allLate;
    for (const auto& timer : s.played.ticks.timers) {
        const auto late = lateness(s.played.ticks, timer);
        allLate.insert(allLate.end(), late.begin(), late.end());
        if (const double p = percentile(late, 99); p > t.worstLate99) {
            t.worstLate99 = p;
            t.worstTimer = timer.name;
        }
    }
    t.lateMedian = median(allLate);
    t.late99 = percentile(allLate, 99);
    std::sscanf(s.floor().output.c_str(), "late %lf %lf", &t.floorLate, &t.floorLate99);
    const auto& ticks = s.played.ticks;
    if (ticks.zero)
        t.countdownS = double((*ticks.zero - ticks.start).count()) / 1e6;
    t.micro = s.micro;
    return t;
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A unit as a figure's name gives it, and as its limit does.
struct Unit {
    const char* inName;
    const char* inLimit;
};
constexpr Unit kMs{"ms", "ms"}, kSeconds{"s", "s"}, kMiB{"MiB", "MiB"}, kShareOfCore{"% of a core", "%"};
constexpr Unit kNoUnit{"", ""};

// What a figure must stay within: from `least` to `most`, of the figure itself or, where
// `ofReference`, of the figure over its reference's.
struct Limit {
    double least = -std::numeric_limits<double>::infinity();
    double most = std::numeric_limits<double>::infinity();
    bool ofReference = false;

    bool met(double value) const { return value >= least && value <= most; } // a NaN meets none

    std::string text(const Unit& unit) const
    {
        if (ofReference)
            return "ratio ≤ " + number(most);
        std::string text = std::isinf(least) ? "≤ " + number(most) : number(least) + " to " + number(most);
        return *unit.inLimit ? text + " " + unit.inLimit : text;
    }
};
constexpr Limit atMost(double most) { return {.most = most}; }
constexpr Limit ratioAtMost(double most) { return {.most = most, .ofReference = true}; }
constexpr Limit from(double least, double most) { return {.least = least, .most = most}; }

constexpr Limit kTickLate99 = atMost(2); // ms: all ticks together, and each timer's
constexpr double kTickRateTolerance = 0.01;
constexpr std::size_t kFewestClicks = 200; // for a 99th percentile of clicks to count

// One figure as measured: the program's value, its reference's (NaN without one), and a detail
// for its name.
struct Measured {
    double value = NAN, reference = NAN;
    std::string detail{};
    bool enoughSamples = true;
};

// A row of the report: the figure, the reference it stands beside ("" for none), its limit if it
// has one, and how it is read from the statistics.
struct Figure {
    const char* name;
    Unit unit;
    int decimals;
    const char* reference;
    std::optional<Limit> limit;
    Measured (*read)(const Statistics&);
};

// Every figure of the report, in its order, with what it must stay within.
const Figure kFigures[] = {
    {"start-up to first frame shown", kMs, 1, "bare window", ratioAtMost(1.05),
     [](const Statistics& t) { return Measured{t.startup, t.startupBare}; }},
    {"peak resident memory", kMiB, 1, "bare window", ratioAtMost(1.1),
     [](const Statistics& t) { return Measured{t.peakMiB, t.peakMiBBare}; }},
    {"CPU while waiting, before Start", kShareOfCore, 3, "bare window", atMost(0.05),
     [](const Statistics& t) { return Measured{t.waiting.cpuPercent, t.waitingBare.cpuPercent}; }},
    {"wake-ups per second while waiting, before Start", kNoUnit, 1, "bare window", atMost(1),
     [](const Statistics& t) { return Measured{t.waiting.wakeUpsPerSecond, t.waitingBare.wakeUpsPerSecond}; }},
    {"CPU while running, scale 1", kShareOfCore, 2, "moving floor", ratioAtMost(1.1),
     [](const Statistics& t) { return Measured{t.running.cpuPercent, t.runningFloor.cpuPercent}; }},
    {"wake-ups per second while running, scale 1", kNoUnit, 1, "moving floor", ratioAtMost(1.1),
     [](const Statistics& t) { return Measured{t.running.wakeUpsPerSecond, t.runningFloor.wakeUpsPerSecond}; }},
    {"CPU while running, scale 2", kShareOfCore, 2, "moving floor", ratioAtMost(1.1),
     [](const Statistics& t) { return Measured{t.scaled.cpuPercent, t.scaledFloor.cpuPercent}; }},
    {"wake-ups per second while running, scale 2", kNoUnit, 1, "moving floor", ratioAtMost(1.1),
     [](const Statistics& t) { return Measured{t.scaled.wakeUpsPerSecond, t.scaledFloor.wakeUpsPerSecond}; }},
    {"CPU after the game is over", kShareOfCore, 3, "bare window", atMost(0.05),
     [](const Statistics& t) { return Measured{t.over.cpuPercent, t.overBare.cpuPercent}; }},
    {"wake-ups per second after the game is over", kNoUnit, 1, "bare window", atMost(1),
     [](const Statistics& t) { return Measured{t.over.wakeUpsPerSecond, t.overBare.wakeUpsPerSecond}; }},
    {"click on an item to the score box's damage, median", kMs, 2, "", std::nullopt,
     [](const Statistics& t) {
         return Measured{.value = t.clickMedian,
                         .detail = std::to_string(t.clicks) + " clicks that scored, " + std::to_string(t.misses) +
                                   " misses left out"};
     }},
    {"click on an item to the score box's damage, 99th percentile", kMs, 2, "", atMost(16.7), // a frame at 60 Hz
     [](const Statistics& t) { return Measured{.value = t.click99, .enoughSamples = t.clicks >= kFewestClicks}; }},
    {"tick lateness while running, all ticks: median", kMs, 3, "moving floor", std::nullopt,
     [](const Statistics& t) { return Measured{t.lateMedian, t.floorLate}; }},
    {"tick lateness while running, all ticks: 99th percentile", kMs, 3, "moving floor", kTickLate99,
     [](const Statistics& t) { return Measured{t.late99, t.floorLate99}; }},
    {"tick lateness while running: the worst timer's 99th percentile", kMs, 3, "", kTickLate99,
     [](const Statistics& t) { return Measured{.value = t.worstLate99, .detail = t.worstTimer}; }},
    {"wall time from Start to \"0\"", kSeconds, 3, "", from(59, 60),
     [](const Statistics& t) { return Measured{t.countdownS}; }},
    {"reading the stored layout and decoding the 17 pictures", kMs, 3, "", atMost(2),
     [](const Statistics& t) { return Measured{t.microMs("readLayoutAndDecodePictures")}; }},
    {"one full repaint of the inner area, offscreen", kMs, 3, "", atMost(1),
     [](const Statistics& t) { return Measured{t.microMs("repaintInnerArea")}; }},
    {"the same at a device pixel ratio of 1.5", kMs, 3, "", atMost(1),
     [](const Statistics& t) { return Measured{t.microMs("repaintInnerAreaAtOneAndAHalf")}; }},
    {"one whole 60-second game on the virtual clock", kMs, 3, "", atMost(5),
     [](const Statistics& t) { return Measured{t.microMs("wholeGameOnVirtualClock")}; }},
};

void printRow(Table& table, const Figure& figure, const Measured& m)
{
    std::string name = figure.name;
    std::string inParentheses = figure.unit.inName;
    if (!m.detail.empty())
        inParentheses += (inParentheses.empty() ? "" : "; ") + m.detail;
    if (!inParentheses.empty())
        name += " (" + inParentheses + ")";
    const bool ratio = figure.limit && figure.limit->ofReference;
    const std::string reference = *figure.reference
                                      ? fixed(m.reference, figure.decimals) + " (" + figure.reference + ")"
                                      : "";
    const double judged = ratio ? m.value / m.reference : m.value;
    table.row({name, fixed(m.value, figure.decimals), reference, ratio ? fixed(judged, 2) : "",
               figure.limit ? figure.limit->text(figure.unit) : ""},
              figure.limit ? std::optional(m.enoughSamples && figure.limit->met(judged)) : std::nullopt);
}

void printFigures(const Statistics& t)
{
    std::printf("Under Xvfb on %s: medians of %d interleaved start-ups each; one session each for waiting, "
                "running and over; medians of %d interleaved %lld-s runs at twice the scale; one clicked game "
                "of the tick probe.\n\n",
                machine().c_str(), kStartupsEach, kScaledRunsEach, static_cast<long long>(kScaledWindow.count()));
    Table table({"figure", "namoro", "reference", "ratio", "budget", "met"});
    for (const Figure& figure : kFigures)
        printRow(table, figure, figure.read(t));
}

void printTimers(const TickRecord& ticks)
{
    std::printf("\nEach timer over the same game: ticks per second over the first 10 s of play against the "
                "classic 1/64 s pacing, and how late its ticks came (delivered minus due) from Start to \"0\".\n\n");
    Table timers({"timer", "interval (ms)", "ticks/s", "classic pacing", "ratio", "late, median (ms)",
                  "late, 99th percentile (ms)",
                  "within " + number(100 * kTickRateTolerance) + " % and " + kTickLate99.text(kMs)});
    for (const auto& timer : ticks.timers) {
        const auto rate = tickRate(ticks, timer, 10s);
        const double classic = classicTicksPerSecond(timer.intervalMs);
        const auto late = lateness(ticks, timer);
        const double ratio = rate.perSecond / classic, p99 = percentile(late, 99);
        timers.row({timer.name, std::to_string(timer.intervalMs), fixed(rate.perSecond, 3), fixed(classic, 3),
                    fixed(ratio, 4), fixed(median(late), 3), fixed(p99, 3)},
                   std::abs(ratio - 1) <= kTickRateTolerance && kTickLate99.met(p99));
    }
}

// The per-second series of the sessions, drawn by gnuplot.
void drawTimeline(const std::string& png, const Sessions& s)
{
    const std::string series = std::string(NAMORO_BENCH_DIR) + "/timeline.tsv";
    const Meter* meters[] = {&s.bare().meter, &s.floor().meter, &s.game().meter};
    std::vector<std::vector<Meter::Figures>> columns;
    for (const Meter* meter : meters)
        columns.push_back(meter->perInterval());
    std::ofstream out(series);
    out << "second\tbare window\tmoving floor\tnamoro\tbare window\tmoving floor\tnamoro\n";
    for (std::size_t second = 0; second < columns[0].size(); ++second) {
        out << second;
        for (const auto& column : columns)
            out << "\t" << (second < column.size() ? column[second].cpuPercent : NAN);
        for (const auto& column : columns)
            out << "\t" << (second < column.size() ? column[second].wakeUpsPerSecond : NAN);
        out << "\n";
    }
    out.close();
    char variables[512];
    std::snprintf(variables, sizeof variables,
                  "data='%s'; out='%s'; start=%g; over=%g; end=%g; measured='%g %g %g %g %g %g'", series.c_str(),
                  png.c_str(), Schedule::kStart, Schedule::kOver, Schedule::kEnd, Schedule::kWaitingFrom,
                  Schedule::kWaitingTo, Schedule::kRunningFrom, Schedule::kRunningTo, Schedule::kOverFrom,
                  Schedule::kOverTo);
    if (!xsession::runCommand({"gnuplot", "-e", variables, NAMORO_BENCH_TIMELINE}, {}, 60s).succeeded())
        throw std::runtime_error("the timeline figure could not be drawn");
}

} // namespace

int main(int argc, char** argv)
try {
    const auto began = Clock::now();
    const auto timeline = argument(argc, argv, "--timeline");
    const Sessions sessions = runSessions();
    if (timeline)
        drawTimeline(*timeline, sessions);
    const Statistics statistics = summarise(sessions);
    printFigures(statistics); // each against its budget
    printTimers(sessions.played.ticks);
    std::fflush(stdout);
    std::fprintf(stderr, "bench: done in %.1f min\n", std::chrono::duration<double>(Clock::now() - began).count() / 60);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "bench: %s\n", error.what());
    return 1;
}
