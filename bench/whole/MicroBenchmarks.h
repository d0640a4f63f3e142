#pragma once

#include <map>
#include <string>

namespace namoro::bench {

// Runs the Google Benchmark program at `path` and returns each benchmark's median wall time
// over its repetitions, in milliseconds, by benchmark name.
std::map<std::string, double> runMicroBenchmarks(const std::string& path);

} // namespace namoro::bench
