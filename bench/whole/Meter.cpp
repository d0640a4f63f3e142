#include "Meter.h"

#include "ProcessMeter.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace namoro::bench {

void Meter::sample()
{
    const auto cpu = cpuTime(pid_);
    const auto wakes = wakeUps(pid_);
    const auto at = std::chrono::duration<double>(Clock::now() - origin_).count();
    if (!cpu || !wakes)
        throw std::runtime_error("cannot read the counters of process " + std::to_string(pid_));
    readings_.push_back({at, *cpu, *wakes});
}

Meter::Figures Meter::rate(const Reading& a, const Reading& b)
{
    const double seconds = b.at - a.at;
    if (seconds <= 0)
        return {NAN, NAN};
    return {100.0 * std::chrono::duration<double>(b.cpu - a.cpu).count() / seconds,
            double(b.wakeUps - a.wakeUps) / seconds};
}

Meter::Figures Meter::between(double from, double to) const
{
    auto nearest = [this](double t) {
        const Reading* best = nullptr;
        for (const Reading& r : readings_) {
            if (!best || std::abs(r.at - t) < std::abs(best->at - t))
                best = &r;
        }
        return best;
    };
    const Reading* a = nearest(from);
    const Reading* b = nearest(to);
    if (!a || !b)
        return {NAN, NAN};
    return rate(*a, *b);
}

std::vector<Meter::Figures> Meter::perInterval() const
{
    std::vector<Figures> figures;
    for (std::size_t i = 1; i < readings_.size(); ++i)
        figures.push_back(rate(readings_[i - 1], readings_[i]));
    return figures;
}

} // namespace namoro::bench
