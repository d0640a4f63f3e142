#include "TimerScheduler.h"

#include <stdexcept>

namespace namoro::runtime {

TimerScheduler::TimerScheduler(const Clock& clock, Micros grid) : clock_(clock), grid_(grid)
{
    if (grid_ <= Micros{0})
        throw std::invalid_argument("timer grid must be positive");
}

Micros TimerScheduler::periodFor(int intervalMs) const
{
    const auto wanted = Micros{std::int64_t{intervalMs} * 1000};
    const auto steps = std::max<std::int64_t>(1, (wanted.count() + grid_.count() - 1) / grid_.count());
    return grid_ * steps;
}

void TimerScheduler::restart(Entry& entry)
{
    entry.anchor = clock_.now();
    entry.due = entry.anchor + entry.period;
}

TimerScheduler::TimerId TimerScheduler::add(int intervalMs, std::function<void()> onTick)
{
    Entry entry;
    entry.intervalMs = intervalMs;
    entry.period = periodFor(intervalMs);
    entry.enabled = true;
    entry.live = true;
    entry.onTick = std::move(onTick);
    restart(entry);
    entries_.push_back(std::move(entry));
    return entries_.size() - 1;
}

void TimerScheduler::remove(TimerId id)
{
    entries_.at(id) = Entry{};
}

void TimerScheduler::setEnabled(TimerId id, bool enabled)
{
    Entry& entry = entries_.at(id);
    const bool starts = enabled && !entry.enabled;
    if (starts)
        restart(entry);
    entry.enabled = enabled;
    if (starts)
        rescheduled();
}

bool TimerScheduler::enabled(TimerId id) const { return entries_.at(id).enabled; }

int TimerScheduler::interval(TimerId id) const { return entries_.at(id).intervalMs; }

Micros TimerScheduler::period(TimerId id) const { return entries_.at(id).period; }

Micros TimerScheduler::nextPointAfter(const Entry& entry, Micros now) const
{
    const auto elapsed = (now - entry.anchor) / entry.period;
    return entry.anchor + entry.period * (elapsed + 1);
}

void TimerScheduler::rescheduled()
{
    if (onReschedule_)
        onReschedule_();
}

bool TimerScheduler::ticks(const Entry& entry) { return entry.live && entry.enabled && entry.intervalMs > 0; }

void TimerScheduler::setHeld(bool held)
{
    if (held == held_)
        return;
    held_ = held;
    if (held)
        return;
    // Had the held ticks been delivered, each timer's next tick would be the next point of its
    // own period after now; a timer not yet due keeps the tick it has.
    const Micros now = clock_.now();
    for (Entry& entry : entries_) {
        if (ticks(entry) && entry.due <= now)
            entry.due = nextPointAfter(entry, now);
    }
    rescheduled();
}

std::optional<std::size_t> TimerScheduler::earliestDue(Micros now) const
{
    std::optional<std::size_t> best;
    if (held_)
        return best;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        if (!ticks(entry) || entry.due > now)
            continue;
        if (!best || entry.due < entries_[*best].due)
            best = i;
    }
    return best;
}

std::optional<Micros> TimerScheduler::nextDue() const
{
    std::optional<Micros> best;
    if (held_)
        return best;
    for (const Entry& entry : entries_) {
        if (ticks(entry) && (!best || entry.due < *best))
            best = entry.due;
    }
    return best;
}

void TimerScheduler::runDue()
{
    const Micros now = clock_.now();
    while (const auto index = earliestDue(now)) {
        Entry& entry = entries_[*index];
        // A late timer ticks once instead of catching up in a burst.
        entry.due = nextPointAfter(entry, now);
        const auto onTick = entry.onTick; // a tick may remove its own timer
        if (onTick)
            onTick();
    }
}

} // namespace namoro::runtime
