#pragma once

#include "Meter.h"
#include "TickRecord.h"

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace namoro::bench {

// When things happen in a session, in seconds after every program's window is up: left
// alone, then Start, the 60-second game (or, for the references, what they do on Start), then
// left alone again. Idle figures are taken only after 10 s without input.
struct Schedule {
    static constexpr double kStart = 40;
    static constexpr double kWaitingFrom = 10, kWaitingTo = kStart;
    static constexpr double kRunningFrom = kStart + 2, kRunningTo = kStart + 57;
    static constexpr double kOver = kStart + 60; // the countdown shows "0" by then
    static constexpr double kOverFrom = kOver + 10, kOverTo = kOver + 40;
    static constexpr double kEnd = kOverTo;
};

// One program through a session: read once a second from launch to End.
struct SessionRun {
    Meter meter;
    double peakMiB = 0;
    std::string output; // what it printed
};

// A whole game of the tick probe, its items clicked all along from outside.
struct PlayedGame {
    TickRecord ticks;
    std::vector<double> clickMs; // press to the score box's damage, one per click that scored
    int misses = 0;               // clicks that found no item or changed nothing
};

// Everything the sessions of one bench measured.
struct Readings {
    std::vector<double> startups, startupsBare; // ms
    std::vector<SessionRun> runs;               // the game, the bare window, the moving floor
    std::vector<Meter::Figures> scaled, scaledFloor;
    PlayedGame played;                          // its timers in their order: Timer7 before Timer10
    std::map<std::string, double> micro;        // ms by benchmark name

    const SessionRun& game() const { return runs[0]; }
    const SessionRun& bare() const { return runs[1]; }
    const SessionRun& floor() const { return runs[2]; }
};

// The sessions' plan, as the figure table's heading tells it.
inline constexpr int kStartupsEach = 24;
inline constexpr int kScaledRunsEach = 2;
inline constexpr std::chrono::seconds kScaledWindow{15};

// Every session of the bench, on two private displays; tells its progress on standard error.
Readings runSessions();

} // namespace namoro::bench
