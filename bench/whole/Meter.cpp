#include "Meter.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace namoro::bench {
namespace {

std::string procDir(pid_t pid) { return "/proc/" + std::to_string(pid); }

// The number on the line "NAME: NUMBER ..." of a /proc status file, if it has one.
std::optional<long long> statusField(const std::filesystem::path& status, const std::string& name)
{
    std::ifstream in(status);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(name + ":", 0) == 0)
            return std::stoll(line.substr(name.size() + 1));
    }
    return std::nullopt;
}

// The process's user and system time in clock ticks, for kernels that keep no scheduler
// accounting per thread.
std::chrono::nanoseconds tickTime(pid_t pid)
{
    std::ifstream in(procDir(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2)); // the command name may hold spaces
    std::string field;
    long long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14 || i == 15) // utime, stime
            ticks += std::stoll(field);
    }
    return std::chrono::nanoseconds{ticks * 1'000'000'000LL / sysconf(_SC_CLK_TCK)};
}

} // namespace

void Meter::sample()
{
    Reading reading{std::chrono::duration<double>(Clock::now() - origin_).count()};
    bool scheduled = false, any = false;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator(procDir(pid_) + "/task", error)) {
        long long runNs = 0;
        if (std::ifstream(task.path() / "schedstat") >> runNs) {
            reading.cpu += std::chrono::nanoseconds{runNs};
            scheduled = true;
        }
        if (const auto switches = statusField(task.path() / "status", "voluntary_ctxt_switches")) {
            reading.wakeUps += *switches;
            any = true;
        }
    }
    if (error || !any)
        throw std::runtime_error("cannot read the counters of process " + std::to_string(pid_));
    if (!scheduled)
        reading.cpu = tickTime(pid_);
    readings_.push_back(reading);
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

double peakResidentMiB(pid_t pid)
{
    return double(statusField(procDir(pid) + "/status", "VmHWM").value_or(0)) / 1024.0;
}

} // namespace namoro::bench
