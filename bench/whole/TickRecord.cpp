#include "TickRecord.h"

#include <sstream>

namespace namoro::bench {

std::optional<TickRecord> TickRecord::parse(const std::string& text)
{
    TickRecord record;
    bool started = false;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        long long value = 0;
        if (kind == "start" && fields >> value) {
            record.start = Micros{value};
            started = true;
        } else if (kind == "zero" && fields >> value) {
            record.zero = Micros{value};
        } else if (kind == "timer") {
            Timer timer;
            long long period = 0, anchor = 0;
            fields >> timer.name >> timer.intervalMs >> period >> anchor;
            timer.period = Micros{period};
            timer.anchor = Micros{anchor};
            while (fields >> value)
                timer.ticks.emplace_back(value);
            record.timers.push_back(std::move(timer));
        }
    }
    if (!started || record.timers.empty())
        return std::nullopt;
    return record;
}

double classicTicksPerSecond(int intervalMs)
{
    constexpr long long kGridUs = 15625;
    const long long steps = std::max(1LL, (intervalMs * 1000LL + kGridUs - 1) / kGridUs);
    return 1e6 / double(steps * kGridUs);
}

TickRate tickRate(const TickRecord& record, const TickRecord::Timer& timer, Micros window)
{
    TickRate rate;
    std::optional<Micros> first, last;
    for (const Micros tick : timer.ticks) {
        if (tick < record.start || tick > record.start + window)
            continue;
        ++rate.ticks;
        if (!first)
            first = tick;
        last = tick;
    }
    if (rate.ticks > 1)
        rate.perSecond = double(rate.ticks - 1) * 1e6 / double((*last - *first).count());
    return rate;
}

std::vector<double> lateness(const TickRecord& record, const TickRecord::Timer& timer)
{
    std::vector<double> late;
    if (timer.period <= Micros{0})
        return late;
    for (const Micros tick : timer.ticks) {
        if (tick < record.start || tick < timer.anchor)
            continue;
        const Micros due = timer.anchor + (tick - timer.anchor) / timer.period * timer.period;
        late.push_back(double((tick - due).count()) / 1000.0);
    }
    return late;
}

} // namespace namoro::bench
