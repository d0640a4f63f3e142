#include "Process.h"

#include <stdexcept>

namespace namoro::xsession {

std::string ExitStatus::describe() const
{
    return exited ? "exit code " + std::to_string(code) : "killed by signal " + std::to_string(code);
}

Process::Process(const std::vector<std::string>& argv, const ProcessOptions& options)
    : process_(std::make_unique<QProcess>())
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : options.environment)
        environment.insert(QString::fromStdString(name), QString::fromStdString(value));
    process_->setProcessEnvironment(environment);
    // Qt sends to a file only what it does not forward.
    process_->setProcessChannelMode(options.quiet     ? QProcess::SeparateChannels
                                    : options.capture ? QProcess::ForwardedErrorChannel
                                                      : QProcess::ForwardedChannels);
    if (options.quiet) {
        process_->setStandardErrorFile(QProcess::nullDevice());
        if (!options.capture)
            process_->setStandardOutputFile(QProcess::nullDevice());
    }
    QStringList arguments;
    for (std::size_t i = 1; i < argv.size(); ++i)
        arguments << QString::fromStdString(argv[i]);
    process_->start(QString::fromStdString(argv.at(0)), arguments);
    if (!process_->waitForStarted())
        throw std::runtime_error("cannot start " + argv[0] + ": " + process_->errorString().toStdString());
}

Process::~Process()
{
    if (process_)
        terminate();
}

std::optional<ExitStatus> Process::waitFor(std::chrono::milliseconds bound)
{
    if (process_->state() != QProcess::NotRunning && !process_->waitForFinished(int(bound.count())))
        return std::nullopt;
    return ExitStatus{process_->exitStatus() == QProcess::NormalExit, process_->exitCode()};
}

void Process::terminate(std::chrono::milliseconds grace)
{
    if (!running())
        return;
    process_->terminate();
    if (!waitFor(grace)) {
        process_->kill();
        process_->waitForFinished();
    }
}

std::string Process::readOutput(std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    QByteArray output;
    auto left = [&] { return int(std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count()); };
    do
        output += process_->readAllStandardOutput();
    while (process_->state() != QProcess::NotRunning && left() > 0 && process_->waitForReadyRead(left()));
    return (output + process_->readAllStandardOutput()).toStdString();
}

CommandResult runCommand(const std::vector<std::string>& argv, ProcessOptions options, std::chrono::milliseconds bound)
{
    options.capture = true;
    Process process(argv, options);
    process.qprocess().closeWriteChannel();
    CommandResult result;
    result.output = process.readOutput(bound);
    result.status = process.waitFor(0ms);
    return result;
}

} // namespace namoro::xsession
