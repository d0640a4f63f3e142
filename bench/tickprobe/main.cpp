// The game run exactly as the program runs it, with a recorder around every timer's
// handler: on End it prints when Start was chosen, when the countdown reached zero, each
// timer's period and anchor (its ticks fall due at the anchor plus whole periods), and when
// every tick after Start was delivered, in microseconds of the game's own clock.

#include "app/GameProgram.h"

#include <QApplication>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

using namespace namoro;

struct TickLog {
    std::optional<runtime::Micros> startedAt;
    std::optional<runtime::Micros> zeroAt;
    std::vector<std::vector<runtime::Micros>> ticks; // per timer, in the form's order

    void print(const window::Form& form) const
    {
        if (!startedAt)
            return;
        std::printf("start %lld\n", static_cast<long long>(startedAt->count()));
        if (zeroAt)
            std::printf("zero %lld\n", static_cast<long long>(zeroAt->count()));
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            const auto& timer = *form.timers()[i];
            std::printf("timer %s %d %lld %lld", timer.name().c_str(), timer.interval(),
                        static_cast<long long>(timer.period().count()), static_cast<long long>(timer.anchor().count()));
            for (const auto tick : ticks[i]) {
                if (tick >= *startedAt)
                    std::printf(" %lld", static_cast<long long>(tick.count()));
            }
            std::printf("\n");
        }
    }
};

// Wraps every timer's tick handler and the Start command; the game itself is untouched.
void record(window::Form& form, const runtime::Clock& clock, TickLog& log)
{
    log.ticks.resize(form.timers().size());
    for (std::size_t i = 0; i < form.timers().size(); ++i) {
        window::Timer& timer = *form.timers()[i];
        log.ticks[i].reserve(70 * 64);
        timer.onTimer = [&timer, &clock, &log, i, handler = timer.onTimer] {
            log.ticks[i].push_back(clock.now());
            handler();
            if (!timer.enabled() && timer.name() == "Timer14" && !log.zeroAt)
                log.zeroAt = clock.now();
        };
    }
    window::MenuEntry& start = form.menuEntry("MenuStart");
    start.onClick = [&clock, &log, handler = start.onClick] {
        if (!log.startedAt)
            log.startedAt = clock.now();
        handler();
    };
}

} // namespace

int main(int argc, char** argv)
{
    const QApplication app(argc, argv);
    TickLog log;
    app::RunHooks hooks;
    hooks.beforeLoad = [&log](logic::Game& game, const runtime::Clock& clock) { record(game.form(), clock, log); };
    hooks.afterEnd = [&log](logic::Game& game) { log.print(game.form()); };
    return app::runGame(hooks);
}
