// Holding the timers while nothing can move must change nothing a player could see: the trace
// of every visible change is the same as when every tick is delivered.

#include "tests/support/HeadlessGame.h"

#include <gtest/gtest.h>
#include <random>
#include <array>
#include <cmath>
#include <ostream>

using namespace namoro;
using namespace namoro::testing;
using namespace std::chrono_literals;

namespace {

// Everything the window shows, and which timers run.
struct Shown {
    std::string score, time, caption;
    std::array<float, 34> places{}; // left, top of every picture
    std::uint32_t running = 0;      // one bit a timer
    bool operator==(const Shown&) const = default;
};

// One visible change: when, which handler, and what the window shows afterwards.
struct Change {
    std::int64_t instant;
    std::string handler;
    Shown shown;
    bool operator==(const Change&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Change& change)
{
    out << change.instant << " us " << change.handler << ": " << change.shown.score << '|' << change.shown.time
        << '|' << change.shown.caption << "| timers " << change.shown.running;
    for (const float place : change.shown.places)
        out << ' ' << place;
    return out;
}

class TracedGame final : private window::FormListener {
public:
    explicit TracedGame(bool holdIdleTimers) : game_(true, {.holdIdleTimers = holdIdleTimers})
    {
        for (int i = 0; i < 1000; ++i)
            game_.random().queued.push_back(static_cast<float>(std::fmod(i * 0.6180339887, 1.0)));
        window::Form& form = game_.form();
        for (const auto& timer : form.timers())
            trace(timer->name(), timer->onTimer);
        for (const auto& picture : form.pictures())
            trace(picture->name(), picture->onClick);
        for (const auto& entry : form.menuEntries())
            trace(entry->name(), entry->onClick);
        form.listen(*this);
        last_ = shown();
    }
    ~TracedGame() override { game_.form().stopListening(*this); }
    TracedGame(const TracedGame&) = delete;
    TracedGame& operator=(const TracedGame&) = delete;

    HeadlessGame& game() { return game_; }
    const std::vector<Change>& changes() const { return changes_; }
    std::int64_t ticksDelivered() const { return ticks_; }

private:
    void trace(const std::string& name, window::EventHandler& slot)
    {
        slot = [this, name, inner = slot] {
            if (name.starts_with("Timer"))
                ++ticks_;
            inner();
            if (!written_)
                return; // nothing written, nothing visible changed: the usual idle tick
                        // (timers stop only with the time box's last write)
            written_ = false;
            if (auto now = shown(); now != last_) {
                changes_.push_back({game_.now().count(), name, now});
                last_ = std::move(now);
            }
        };
    }

    Shown shown()
    {
        Shown now{game_.score().text(), game_.time().text(), game_.caption()};
        std::size_t place = 0;
        for (const auto& picture : game_.form().pictures()) {
            now.places[place++] = picture->left();
            now.places[place++] = picture->top();
        }
        now.running = running();
        return now;
    }

    std::uint32_t running()
    {
        std::uint32_t bits = 0;
        std::uint32_t bit = 1;
        for (const auto& timer : game_.form().timers()) {
            bits |= timer->enabled() ? bit : 0;
            bit <<= 1;
        }
        return bits;
    }

    void pictureMoved(std::size_t, const window::Rect&, const window::Rect&) override { written_ = true; }
    void textChanged(std::size_t, const std::string&) override { written_ = true; }
    void captionChanged(std::size_t, const std::string&) override { written_ = true; }

    HeadlessGame game_;
    std::vector<Change> changes_;
    Shown last_;
    bool written_ = false;
    std::int64_t ticks_ = 0;
};

// Plays one game, choosing Start at each of `starts` (after Load), clicking a few items on the
// way, and follows it until `until`.
struct Played {
    std::vector<Change> changes;
    std::int64_t ticksDelivered;
};

Played play(bool holdIdleTimers, const std::vector<runtime::Micros>& starts, runtime::Micros until)
{
    TracedGame traced(holdIdleTimers);
    HeadlessGame& game = traced.game();
    for (const auto start : starts) {
        game.advance(start - game.now());
        game.start();
    }
    for (const int item : {6, 3, 11, 17}) {
        game.advance(700ms);
        game.click(item);
    }
    game.advance(until - game.now());
    return {traced.changes(), traced.ticksDelivered()};
}

void expectSameTrace(const std::vector<runtime::Micros>& starts, runtime::Micros until)
{
    const Played held = play(true, starts, until);
    const Played delivered = play(false, starts, until);
    ASSERT_FALSE(delivered.changes.empty());
    ASSERT_EQ(held.changes.size(), delivered.changes.size()) << "Start at " << starts.front().count() << " us";
    for (std::size_t i = 0; i < held.changes.size(); ++i)
        ASSERT_EQ(held.changes[i], delivered.changes[i]) << "change " << i << ", Start at " << starts.front().count() << " us";
    EXPECT_LE(held.ticksDelivered, delivered.ticksDelivered);
}

} // namespace

TEST(IdleTimers, EveryTimerKeepsItsPhaseWhateverTheMomentOfStart)
{
    // Every timer's first tick after Start comes within a second, so two seconds of play show
    // them all; Start just before, at and just after each point of the 1/64 s grid.
    for (auto point = 0us; point < 1s; point += runtime::TimerScheduler::kClassicGrid) {
        for (const auto start : {point - 1us, point, point + 1us}) {
            if (start >= 0us)
                expectSameTrace({start}, start + 2s);
        }
    }
    std::mt19937 engine(20261209);
    std::uniform_int_distribution<std::int64_t> anywhere(0, 5'000'000);
    for (int i = 0; i < 5; ++i) {
        const runtime::Micros start{anywhere(engine)};
        expectSameTrace({start}, start + 62s);
    }
}

TEST(IdleTimers, AGameStartedTwiceOrAfterADayOfWaitingPlaysAsIfEveryTickHadCome)
{
    expectSameTrace({1234567us, 17654321us}, 80s);
    const auto day = std::chrono::duration_cast<runtime::Micros>(24h) + 345678us;
    expectSameTrace({day}, day + 62s);
}

TEST(IdleTimers, NothingIsDueWhileWaitingOrAfterTheGame)
{
    HeadlessGame game;
    game.advance(3s);
    EXPECT_FALSE(game.game().scheduler().nextDue()) << "waiting";
    game.start();
    ASSERT_TRUE(game.game().scheduler().nextDue());
    EXPECT_LE(*game.game().scheduler().nextDue() - game.now(), 1s);
    game.advance(61s);
    ASSERT_EQ(game.time().text(), "0");
    EXPECT_FALSE(game.game().scheduler().nextDue()) << "over";
}
