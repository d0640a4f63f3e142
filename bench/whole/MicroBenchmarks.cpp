#include "MicroBenchmarks.h"

#include "tests/xsession/Process.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <stdexcept>

namespace namoro::bench {

std::map<std::string, double> runMicroBenchmarks(const std::string& path)
{
    const xsession::ProcessOptions options{.environment = {}, .capture = true, .quiet = true};
    const auto result = xsession::runCommand({path, "--benchmark_format=json"}, options, std::chrono::minutes{10});
    const QJsonDocument report = QJsonDocument::fromJson(QByteArray::fromStdString(result.output));
    if (!result.succeeded() || !report.isObject())
        throw std::runtime_error("the micro-benchmarks failed");

    // Each benchmark's aggregates over its repetitions, named "name/repeats:9".
    std::map<std::string, double> medians;
    for (const QJsonValue& run : report["benchmarks"].toArray()) {
        if (run["aggregate_name"].toString() != QLatin1String("median"))
            continue;
        const QString unit = run["time_unit"].toString();
        const double toMs = unit == "ns" ? 1e-6 : unit == "us" ? 1e-3 : unit == "ms" ? 1.0 : 1e3;
        medians[run["run_name"].toString().section('/', 0, 0).toStdString()] = run["real_time"].toDouble() * toMs;
    }
    return medians;
}

} // namespace namoro::bench
