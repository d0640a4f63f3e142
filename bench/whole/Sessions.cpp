#include "Sessions.h"

#include "ClickToScreen.h"
#include "FirstFrameWatch.h"
#include "MicroBenchmarks.h"

#include "tests/xsession/PrivateDisplay.h"
#include "tests/xsession/ProgramWindow.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <random>
#include <stdexcept>
#include <thread>

namespace namoro::bench {
namespace {

using namespace std::chrono_literals;
using xsession::PrivateDisplay;
using xsession::ProgramWindow;
using xsession::Process;
using Clock = std::chrono::steady_clock;

// A program the bench starts: its executable and its window's caption.
struct Program {
    std::string path;
    std::string caption;
};

constexpr int kInnerHeight = 536;
// The inside of the score box in the inner area, where its text shows: the box's rounded
// frame lets pictures that pass behind it show at the corners.
constexpr xsession::Rect kScoreText{579, 523, 67, 13};
constexpr int kTimeBoxX = 40, kTimeBoxY = 527;
constexpr auto kGameLength = 62s; // Start to "0" is 59 to 60 s, plus margin

// Starts `program` and waits for its first frame; the time that took, and its window, drawn
// at `scale` device pixels to a logical one.
std::pair<double, ProgramWindow> launch(const PrivateDisplay& display, const Program& program,
                                        xsession::ProcessOptions options, int scale = 1)
{
    FirstFrameWatch watch(display.name());
    options.quiet = true; // nothing a program prints may reach the table
    const auto begin = Clock::now();
    Process child({program.path}, options);
    const auto frame = watch.waitForFirstFrame(program.caption, 30s);
    if (!frame)
        throw std::runtime_error(program.path + " showed no frame within 30 s");
    const double ms = std::chrono::duration<double, std::milli>(*frame - begin).count();
    return {ms, ProgramWindow(display, std::move(child), {program.caption, kInnerHeight * scale})};
}

void chooseStart(ProgramWindow& window) { window.chooseMenuCommand(0, 2); }

void end(ProgramWindow& window)
{
    window.chooseMenuCommand(1, 2);
    if (!window.process().waitFor(5s))
        throw std::runtime_error(window.process().program() + " did not end within 5 s of End");
}

// Milliseconds from launching `program` to its first frame on the screen; then it is ended.
double measureStartup(const PrivateDisplay& display, const Program& program)
{
    auto [startupMs, window] = launch(display, program, ProgramWindow::programOptions(display));
    window.process().terminate();
    return startupMs;
}

// Runs the programs side by side, each on its own display, through one session.
std::vector<SessionRun> runSession(const std::vector<std::pair<const PrivateDisplay*, Program>>& programs)
{
    std::vector<ProgramWindow> windows;
    for (const auto& [display, program] : programs) {
        auto options = ProgramWindow::programOptions(*display);
        options.capture = true;
        windows.push_back(launch(*display, program, options).second);
    }
    const auto origin = Clock::now();
    std::vector<SessionRun> runs;
    for (ProgramWindow& window : windows)
        runs.push_back({Meter(window.process().pid(), origin), 0, {}});

    bool started = false;
    for (int second = 0; second <= int(Schedule::kEnd); ++second) {
        std::this_thread::sleep_until(origin + std::chrono::seconds(second));
        for (SessionRun& run : runs)
            run.meter.sample();
        if (!started && second >= Schedule::kStart) {
            for (ProgramWindow& window : windows)
                chooseStart(window);
            started = true;
        }
    }
    for (std::size_t i = 0; i < windows.size(); ++i) {
        runs[i].peakMiB = peakResidentMiB(windows[i].process().pid());
        end(windows[i]);
        runs[i].output = windows[i].process().readOutput(5s);
    }
    return runs;
}

// CPU and wake-ups while running at QT_SCALE_FACTOR `scale`: launched, Start, and measured
// over `window` from 2 s after Start.
Meter::Figures measureRunning(const PrivateDisplay& display, const Program& program, int scale,
                              std::chrono::seconds window)
{
    auto options = ProgramWindow::programOptions(display);
    options.environment.emplace_back("QT_SCALE_FACTOR", std::to_string(scale));
    auto shown = launch(display, program, options, scale).second;
    std::this_thread::sleep_for(1s);
    chooseStart(shown);
    const auto started = Clock::now();
    Meter meter(shown.process().pid(), started);
    std::this_thread::sleep_until(started + 2s);
    meter.sample();
    std::this_thread::sleep_until(started + 2s + window);
    meter.sample();
    end(shown);
    return meter.between(0, 1e9);
}

// A whole game of the tick probe, its items clicked all along from outside.
PlayedGame playWithClicks(const PrivateDisplay& display, const Program& probe, const std::string& pictureDir)
{
    const ItemFinder finder(e2e::loadItemArt(pictureDir));
    auto options = ProgramWindow::programOptions(display);
    options.capture = true;
    auto shown = launch(display, probe, options).second;
    const xsession::Rect inner = shown.innerArea();
    const xsession::Rect scoreText{inner.x + kScoreText.x, inner.y + kScoreText.y, kScoreText.width,
                                   kScoreText.height};
    ClickToScreen clicker(display.name(), unsigned(std::stoul(shown.windowId())), inner, scoreText, finder);

    // The focus goes to the time box, so that no cursor blinks in the score box.
    clicker.click(inner.x + kTimeBoxX, inner.y + kTimeBoxY);
    std::this_thread::sleep_for(1s);
    chooseStart(shown);
    const auto started = Clock::now();
    // Clicks score once the time box shows the first second counted off, within 1 s of Start.
    std::this_thread::sleep_until(started + 1500ms);

    PlayedGame game;
    std::minstd_rand random(11);
    std::uniform_int_distribution<int> pause(40, 160); // ms, so that presses fall at every phase of the ticks
    while (Clock::now() < started + 57s) {
        if (const auto ms = clicker.clickItem(250ms))
            game.clickMs.push_back(ms->count());
        else
            ++game.misses;
        std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
    }
    std::this_thread::sleep_until(started + kGameLength);
    shown.chooseMenuCommand(1, 2);
    const std::string output = shown.process().readOutput(10s);
    shown.process().waitFor(5s);
    auto record = TickRecord::parse(output);
    if (!record)
        throw std::runtime_error("the tick probe reported no ticks");
    game.ticks = std::move(*record);
    return game;
}

void progress(const char* what) { std::fprintf(stderr, "bench: %s\n", what); }

constexpr auto kScreen = "1600x1200x24"; // room for the window at twice the scale
const Program kGame{NAMORO_EXECUTABLE, "Form1"};
const Program kBare{NAMORO_REFERENCE, "Reference"};
const Program kFloor{NAMORO_FLOOR, "Floor"};
const Program kProbe{NAMORO_TICK_PROBE, "Form1"};

// Launch after launch, each pair in the other order than the last.
void measureStartups(const PrivateDisplay& display, Readings& r)
{
    progress("warming up");
    for (const Program* program : {&kBare, &kGame, &kFloor})
        measureStartup(display, *program);
    progress("start-up, interleaved launches");
    for (int i = 0; i < kStartupsEach; ++i) {
        if (i % 2 == 0)
            r.startupsBare.push_back(measureStartup(display, kBare));
        r.startups.push_back(measureStartup(display, kGame));
        if (i % 2 == 1)
            r.startupsBare.push_back(measureStartup(display, kBare));
    }
}

void measureScaled(const PrivateDisplay& display, Readings& r)
{
    progress("running at twice the scale, interleaved");
    for (int i = 0; i < kScaledRunsEach; ++i) {
        if (i % 2 == 1)
            r.scaledFloor.push_back(measureRunning(display, kFloor, 2, kScaledWindow));
        r.scaled.push_back(measureRunning(display, kGame, 2, kScaledWindow));
        if (i % 2 == 0)
            r.scaledFloor.push_back(measureRunning(display, kFloor, 2, kScaledWindow));
    }
}

} // namespace

Readings runSessions()
{
    PrivateDisplay display(kScreen), beside(kScreen);
    Readings r;
    measureStartups(display, r);
    progress("the game and the bare window side by side: waiting, running, over (about 2.5 minutes)");
    r.runs = runSession({{&display, kGame}, {&beside, kBare}});
    progress("the moving floor: waiting, running, over (about 2.5 minutes)");
    r.runs.push_back(runSession({{&display, kFloor}})[0]);
    measureScaled(display, r);
    progress("a whole game of the tick probe, clicked all along (about a minute)");
    r.played = playWithClicks(display, kProbe, NAMORO_PICTURE_DIR);
    std::sort(r.played.ticks.timers.begin(), r.played.ticks.timers.end(), [](const auto& a, const auto& b) {
        return std::stoi(a.name.substr(5)) < std::stoi(b.name.substr(5)); // "Timer7" before "Timer10"
    });
    progress("micro-benchmarks");
    r.micro = runMicroBenchmarks(NAMORO_MICRO_BENCH);
    return r;
}

} // namespace namoro::bench
