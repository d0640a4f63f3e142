#pragma once

#include <chrono>
#include <optional>
#include <sys/types.h>

namespace namoro::bench {

// CPU time that all threads of a running process have used so far (nanosecond scheduler
// accounting where the kernel offers it, else clock ticks).
std::optional<std::chrono::nanoseconds> cpuTime(pid_t pid);

// How often the process's threads have gone to sleep and been woken so far: the sum of their
// voluntary context switches.
std::optional<long long> wakeUps(pid_t pid);

// The process's peak resident memory so far, in KiB.
std::optional<long> peakResidentKiB(pid_t pid);

} // namespace namoro::bench
