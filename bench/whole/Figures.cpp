#include "Figures.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <optional>
#include <stdexcept>
#include <thread>

namespace namoro::bench {
namespace {

using namespace std::chrono_literals;

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

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A Markdown table: its heading, then a row at a time, the last cell telling whether the row
// met its limit ("" for a row without one).
void printHeading(const std::vector<std::string>& headings)
{
    std::string rule = "|";
    for (const std::string& heading : headings) {
        std::printf("| %s ", heading.c_str());
        rule += "---|";
    }
    std::printf("|\n%s\n", rule.c_str());
}

void printRow(const std::vector<std::string>& cells, std::optional<bool> met)
{
    for (const std::string& cell : cells)
        std::printf("| %s ", cell.c_str());
    std::printf("| %s |\n", met ? (*met ? "yes" : "**no**") : "");
}

// The native and the web figures alike.
const std::vector<std::string> kHeadings{"figure", "namoro", "reference", "ratio", "budget", "met"};

// What a figure must stay within: from `least` to `most`, of the figure itself or, where
// `ofReference`, of the figure over its reference's.
struct Limit {
    double least = -std::numeric_limits<double>::infinity();
    double most = std::numeric_limits<double>::infinity();
    bool ofReference = false;

    bool met(double value) const { return value >= least && value <= most; } // a NaN meets none

    std::string text(const std::string& unit) const
    {
        if (ofReference)
            return "ratio ≤ " + number(most);
        const std::string text = least == most     ? number(most)
                                 : std::isinf(least) ? "≤ " + number(most)
                                                     : number(least) + " to " + number(most);
        return unit.empty() ? text : text + " " + unit;
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

// A figure's row: its name as shown, its value beside its reference's (`reference` names it,
// "" for none), and its limit and the limit's unit, if it has one.
void printFigure(const std::string& name, const Measured& m, int decimals, const char* reference,
                 const std::optional<Limit>& limit, const std::string& limitUnit)
{
    const bool ratio = limit && limit->ofReference;
    const double judged = ratio ? m.value / m.reference : m.value;
    printRow({name, fixed(m.value, decimals), *reference ? fixed(m.reference, decimals) + " (" + reference + ")" : "",
              ratio ? fixed(judged, 2) : "", limit ? limit->text(limitUnit) : ""},
             limit ? std::optional(m.enoughSamples && limit->met(judged)) : std::nullopt);
}

// A unit as a figure's name gives it, and as its limit does.
struct Unit {
    const char* inName;
    const char* inLimit;
};
constexpr Unit kMs{"ms", "ms"}, kSeconds{"s", "s"}, kMiB{"MiB", "MiB"}, kShareOfCore{"% of a core", "%"};
constexpr Unit kNoUnit{"", ""};

// The stretches of a session the figures are read from.
Meter::Figures waiting(const SessionRun& r) { return r.meter.between(Schedule::kWaitingFrom, Schedule::kWaitingTo); }
Meter::Figures running(const SessionRun& r) { return r.meter.between(Schedule::kRunningFrom, Schedule::kRunningTo); }
Meter::Figures over(const SessionRun& r) { return r.meter.between(Schedule::kOverFrom, Schedule::kOverTo); }

Meter::Figures medianOf(const std::vector<Meter::Figures>& runs)
{
    std::vector<double> cpu, wake;
    for (const auto& f : runs) {
        cpu.push_back(f.cpuPercent);
        wake.push_back(f.wakeUpsPerSecond);
    }
    return Meter::Figures{median(cpu), median(wake)};
}

std::vector<double> allLateness(const TickRecord& ticks)
{
    std::vector<double> all;
    for (const auto& timer : ticks.timers) {
        const auto late = lateness(ticks, timer);
        all.insert(all.end(), late.begin(), late.end());
    }
    return all;
}

// The timer whose ticks came latest at the 99th percentile, and that percentile.
Measured worstTimer(const TickRecord& ticks)
{
    Measured worst{.value = 0};
    for (const auto& timer : ticks.timers) {
        if (const double p = percentile(lateness(ticks, timer), 99); p > worst.value)
            worst = Measured{.value = p, .detail = timer.name};
    }
    return worst;
}

// As the moving floor printed them on End: "late MEDIAN P99".
std::pair<double, double> floorLateness(const Readings& r)
{
    double late = NAN, late99 = NAN;
    std::sscanf(r.floor().output.c_str(), "late %lf %lf", &late, &late99);
    return {late, late99};
}

double countdownSeconds(const TickRecord& ticks)
{
    return ticks.zero ? double((*ticks.zero - ticks.start).count()) / 1e6 : NAN;
}

Measured micro(const Readings& r, const std::string& name)
{
    const auto found = r.micro.find(name);
    return Measured{found == r.micro.end() ? NAN : found->second};
}

// A row of the report: the figure, the reference it stands beside ("" for none), its limit if it
// has one, and how it is read from the sessions' readings.
struct Figure {
    const char* name;
    Unit unit;
    int decimals;
    const char* reference;
    std::optional<Limit> limit;
    Measured (*read)(const Readings&);
};

// Every figure of the report, in its order, with what it must stay within.
const Figure kFigures[] = {
    {"start-up to first frame shown", kMs, 1, "bare window", ratioAtMost(1.05),
     [](const Readings& r) { return Measured{median(r.startups), median(r.startupsBare)}; }},
    {"peak resident memory", kMiB, 1, "bare window", ratioAtMost(1.1),
     [](const Readings& r) { return Measured{r.game().peakMiB, r.bare().peakMiB}; }},
    {"CPU while waiting, before Start", kShareOfCore, 3, "bare window", atMost(0.05),
     [](const Readings& r) { return Measured{waiting(r.game()).cpuPercent, waiting(r.bare()).cpuPercent}; }},
    {"wake-ups per second while waiting, before Start", kNoUnit, 1, "bare window", atMost(1),
     [](const Readings& r) {
         return Measured{waiting(r.game()).wakeUpsPerSecond, waiting(r.bare()).wakeUpsPerSecond};
     }},
    {"CPU while running, scale 1", kShareOfCore, 2, "moving floor", ratioAtMost(1.1),
     [](const Readings& r) { return Measured{running(r.game()).cpuPercent, running(r.floor()).cpuPercent}; }},
    {"wake-ups per second while running, scale 1", kNoUnit, 1, "moving floor", ratioAtMost(1.1),
     [](const Readings& r) {
         return Measured{running(r.game()).wakeUpsPerSecond, running(r.floor()).wakeUpsPerSecond};
     }},
    {"CPU while running, scale 2", kShareOfCore, 2, "moving floor", ratioAtMost(1.1),
     [](const Readings& r) { return Measured{medianOf(r.scaled).cpuPercent, medianOf(r.scaledFloor).cpuPercent}; }},
    {"wake-ups per second while running, scale 2", kNoUnit, 1, "moving floor", ratioAtMost(1.1),
     [](const Readings& r) {
         return Measured{medianOf(r.scaled).wakeUpsPerSecond, medianOf(r.scaledFloor).wakeUpsPerSecond};
     }},
    {"CPU after the game is over", kShareOfCore, 3, "bare window", atMost(0.05),
     [](const Readings& r) { return Measured{over(r.game()).cpuPercent, over(r.bare()).cpuPercent}; }},
    {"wake-ups per second after the game is over", kNoUnit, 1, "bare window", atMost(1),
     [](const Readings& r) { return Measured{over(r.game()).wakeUpsPerSecond, over(r.bare()).wakeUpsPerSecond}; }},
    {"click on an item to the score box's damage, median", kMs, 2, "", std::nullopt,
     [](const Readings& r) {
         return Measured{.value = median(r.played.clickMs),
                         .detail = std::to_string(r.played.clickMs.size()) + " clicks that scored, " +
                                   std::to_string(r.played.misses) + " misses left out"};
     }},
    {"click on an item to the score box's damage, 99th percentile", kMs, 2, "", atMost(16.7), // a frame at 60 Hz
     [](const Readings& r) {
         return Measured{.value = percentile(r.played.clickMs, 99),
                         .enoughSamples = r.played.clickMs.size() >= kFewestClicks};
     }},
    {"tick lateness while running, all ticks: median", kMs, 3, "moving floor", std::nullopt,
     [](const Readings& r) { return Measured{median(allLateness(r.played.ticks)), floorLateness(r).first}; }},
    {"tick lateness while running, all ticks: 99th percentile", kMs, 3, "moving floor", kTickLate99,
     [](const Readings& r) { return Measured{percentile(allLateness(r.played.ticks), 99), floorLateness(r).second}; }},
    {"tick lateness while running: the worst timer's 99th percentile", kMs, 3, "", kTickLate99,
     [](const Readings& r) { return worstTimer(r.played.ticks); }},
    {"wall time from Start to \"0\"", kSeconds, 3, "", from(59, 60),
     [](const Readings& r) { return Measured{countdownSeconds(r.played.ticks)}; }},
    {"reading the stored layout and decoding the 17 pictures", kMs, 3, "", atMost(2),
     [](const Readings& r) { return micro(r, "readLayoutAndDecodePictures"); }},
    {"one full repaint of the inner area, offscreen", kMs, 3, "", atMost(1),
     [](const Readings& r) { return micro(r, "repaintInnerArea"); }},
    {"the same at a device pixel ratio of 1.5", kMs, 3, "", atMost(1),
     [](const Readings& r) { return micro(r, "repaintInnerAreaAtOneAndAHalf"); }},
    {"one whole 60-second game on the virtual clock", kMs, 3, "", atMost(5),
     [](const Readings& r) { return micro(r, "wholeGameOnVirtualClock"); }},
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

} // namespace

void printFigures(const Readings& readings)
{
    std::printf("Under Xvfb on %s: medians of %d interleaved start-ups each; one session each for waiting, "
                "running and over; medians of %d interleaved %lld-s runs at twice the scale; one clicked game "
                "of the tick probe.\n\n",
                machine().c_str(), kStartupsEach, kScaledRunsEach, static_cast<long long>(kScaledWindow.count()));
    printHeading(kHeadings);
    for (const Figure& figure : kFigures) {
        const Measured m = figure.read(readings);
        std::string inParentheses = figure.unit.inName;
        if (!m.detail.empty())
            inParentheses += (inParentheses.empty() ? "" : "; ") + m.detail;
        const std::string name = inParentheses.empty() ? figure.name : figure.name + (" (" + inParentheses + ")");
        printFigure(name, m, figure.decimals, figure.reference, figure.limit, figure.unit.inLimit);
    }
}

void printTimers(const TickRecord& ticks)
{
    std::printf("\nEach timer over the same game: ticks per second over the first 10 s of play against the "
                "classic 1/64 s pacing, and how late its ticks came (delivered minus due) from Start to \"0\".\n\n");
    printHeading({"timer", "interval (ms)", "ticks/s", "classic pacing", "ratio", "late, median (ms)",
                  "late, 99th percentile (ms)",
                  "within " + number(100 * kTickRateTolerance) + " % and " + kTickLate99.text("ms")});
    for (const auto& timer : ticks.timers) {
        const auto rate = tickRate(ticks, timer, 10s);
        const double classic = classicTicksPerSecond(timer.intervalMs);
        const auto late = lateness(ticks, timer);
        const double ratio = rate.perSecond / classic, p99 = percentile(late, 99);
        printRow({timer.name, std::to_string(timer.intervalMs), fixed(rate.perSecond, 3), fixed(classic, 3),
                  fixed(ratio, 4), fixed(median(late), 3), fixed(p99, 3)},
                 std::abs(ratio - 1) <= kTickRateTolerance && kTickLate99.met(p99));
    }
}

void printWebFigures(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    const QJsonDocument document = QJsonDocument::fromJson(file.open(QIODevice::ReadOnly) ? file.readAll() : "");
    if (!document.isObject())
        throw std::runtime_error("cannot read the web page's figures from " + path);
    std::printf("### Web page (headless Chromium)\n\n");
    printHeading(kHeadings);
    for (const QJsonValue& value : document["figures"].toArray()) {
        const QJsonObject f = value.toObject();
        std::optional<Limit> limit;
        if (f["most"].isDouble())
            limit = Limit{.least = f["least"].toDouble(-std::numeric_limits<double>::infinity()),
                          .most = f["most"].toDouble()};
        printFigure(f["name"].toString().toStdString(), Measured{f["value"].toDouble()}, f["decimals"].toInt(), "",
                    limit, f["unit"].toString().toStdString());
    }
    std::printf("\n");
    for (const QJsonValue& f : document["files"].toArray())
        std::printf("- `%s`: %lld bytes\n", qPrintable(f["name"].toString()),
                    static_cast<long long>(f["size"].toDouble()));
    std::printf("\n");
}

} // namespace namoro::bench
