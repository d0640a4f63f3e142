#include "ProcessMeter.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace namoro::bench {
namespace {

std::optional<std::chrono::nanoseconds> schedulerTime(pid_t pid)
{
    std::error_code error;
    std::chrono::nanoseconds total{0};
    bool any = false;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream in(task.path() / "schedstat");
        long long runNs = 0;
        if (in >> runNs) {
            total += std::chrono::nanoseconds{runNs};
            any = true;
        }
    }
    if (error || !any)
        return std::nullopt;
    return total;
}

std::optional<std::chrono::nanoseconds> tickTime(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')'); // the command name may hold spaces
    if (close == std::string::npos)
        return std::nullopt;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14)
            utime = std::stoll(field);
        if (i == 15)
            stime = std::stoll(field);
    }
    const long hz = sysconf(_SC_CLK_TCK);
    return std::chrono::nanoseconds{(utime + stime) * 1'000'000'000LL / hz};
}

} // namespace

std::optional<std::chrono::nanoseconds> cpuTime(pid_t pid)
{
    if (auto precise = schedulerTime(pid))
        return precise;
    return tickTime(pid);
}

std::optional<long long> wakeUps(pid_t pid)
{
    std::error_code error;
    long long total = 0;
    bool any = false;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream in(task.path() / "status");
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) {
                total += std::stoll(line.substr(line.find(':') + 1));
                any = true;
            }
        }
    }
    if (error || !any)
        return std::nullopt;
    return total;
}

std::optional<long> peakResidentKiB(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return std::nullopt;
}

} // namespace namoro::bench
