#include "Timeline.h"

#include "tests/xsession/Process.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace namoro::bench {

void drawTimeline(const std::string& png, const Readings& readings)
{
    const std::string series = std::string(NAMORO_BENCH_DIR) + "/timeline.tsv";
    const Meter* meters[] = {&readings.bare().meter, &readings.floor().meter, &readings.game().meter};
    std::vector<std::vector<Meter::Figures>> columns;
    for (const Meter* meter : meters)
        columns.push_back(meter->perInterval());
    std::ofstream out(series);
    out << "second\tbare window\tmoving floor\tnamoro\tbare window\tmoving floor\tnamoro\n";
    for (std::size_t second = 0; second < columns[0].size(); ++second) {
        out << second;
        for (const auto& column : columns)
            out << "\t" << (second < column.size() ? column[second].cpuPercent : NAN);
        for (const auto& column : columns)
            out << "\t" << (second < column.size() ? column[second].wakeUpsPerSecond : NAN);
        out << "\n";
    }
    out.close();
    char variables[512];
    std::snprintf(variables, sizeof variables,
                  "data='%s'; out='%s'; start=%g; over=%g; end=%g; measured='%g %g %g %g %g %g'", series.c_str(),
                  png.c_str(), Schedule::kStart, Schedule::kOver, Schedule::kEnd, Schedule::kWaitingFrom,
                  Schedule::kWaitingTo, Schedule::kRunningFrom, Schedule::kRunningTo, Schedule::kOverFrom,
                  Schedule::kOverTo);
    using namespace std::chrono_literals;
    if (!xsession::runCommand({"gnuplot", "-e", variables, NAMORO_BENCH_TIMELINE}, {}, 60s).succeeded())
        throw std::runtime_error("the timeline figure could not be drawn");
}

} // namespace namoro::bench
