#include "MicroBenchmarks.h"

#include "tests/xsession/Process.h"

#include <sstream>
#include <stdexcept>
#include <vector>

namespace namoro::bench {

std::map<std::string, double> runMicroBenchmarks(const std::string& path)
{
    const auto result = xsession::runCommand({path, "--benchmark_format=csv"}, {.environment = {}, .capture = true, .quiet = true}, std::chrono::minutes{10});
    if (!result.succeeded())
        throw std::runtime_error("the micro-benchmarks failed");

    // Rows such as "name/repeats:9_median",iterations,real_time,cpu_time,time_unit,...
    const std::string suffix = "_median\",";
    std::map<std::string, double> medians;
    std::istringstream lines(result.output);
    for (std::string line; std::getline(lines, line);) {
        const auto end = line.find(suffix);
        if (line.empty() || line[0] != '"' || end == std::string::npos)
            continue;
        std::vector<std::string> fields;
        std::istringstream cells(line.substr(end + suffix.size()));
        for (std::string cell; std::getline(cells, cell, ',');)
            fields.push_back(cell);
        if (fields.size() < 4)
            continue;
        const std::string& unit = fields[3];
        const double toMs = unit == "ns" ? 1e-6 : unit == "us" ? 1e-3 : unit == "ms" ? 1.0 : 1e3;
        medians[line.substr(1, line.find('/') - 1)] = std::stod(fields[1]) * toMs;
    }
    return medians;
}

} // namespace namoro::bench
