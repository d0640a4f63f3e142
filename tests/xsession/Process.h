#pragma once

#include <QProcess>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace namoro::xsession {

using namespace std::chrono_literals;

// How a child process ended.
struct ExitStatus {
    bool exited = false; // false: killed by signal `code`
    int code = 0;

    bool success() const { return exited && code == 0; }
    std::string describe() const;
};

struct ProcessOptions {
    std::vector<std::pair<std::string, std::string>> environment; // set on top of ours
    bool capture = false; // standard output is kept for output()
    bool quiet = false;   // whatever is not captured is dropped instead of shown
};

// A child process that is ended when its owner goes, so that no test leaves a stray X server
// or game behind, whatever assertion fails. Nothing here needs an event loop: QProcess's
// waits do the reading.
class Process {
public:
    // Throws std::runtime_error when the program cannot be started.
    explicit Process(const std::vector<std::string>& argv, const ProcessOptions& options = {});
    Process(Process&&) noexcept = default;
    Process& operator=(Process&&) noexcept = default;
    ~Process();

    pid_t pid() const { return pid_t(process_->processId()); }
    std::string program() const { return process_->program().toStdString(); }
    QProcess& qprocess() { return *process_; }

    // The exit status if the child ends within `bound` (zero: only look).
    std::optional<ExitStatus> waitFor(std::chrono::milliseconds bound);
    bool running() { return !waitFor(0ms); }
    // Asks the child to stop, then kills it if it has not within `grace`.
    void terminate(std::chrono::milliseconds grace = 2s);
    // Captured standard output until the child closes it or `bound` runs out.
    std::string readOutput(std::chrono::milliseconds bound);

private:
    std::unique_ptr<QProcess> process_;
};

struct CommandResult {
    std::optional<ExitStatus> status; // empty: still running when the bound ran out (then killed)
    std::string output;

    bool succeeded() const { return status && status->success(); }
};

// Runs a short command to its end, with its standard output captured.
CommandResult runCommand(const std::vector<std::string>& argv, ProcessOptions options,
                         std::chrono::milliseconds bound = 10s);

} // namespace namoro::xsession
