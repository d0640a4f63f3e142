#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace namoro::xsession {

// How a child process ended.
struct ExitStatus {
    bool exited = false; // false: killed by `signal`
    int code = 0;
    int signal = 0;

    static ExitStatus fromWait(int status);
    bool success() const { return exited && code == 0; }
    std::string describe() const;
};

struct SpawnOptions {
    enum class Stream { Inherit, Discard, Capture };

    std::vector<std::pair<std::string, std::string>> environment; // set on top of ours
    Stream out = Stream::Inherit;
    Stream err = Stream::Inherit;
    std::optional<std::string> input; // written to the child's standard input, which is then closed
    // Our descriptor that the child sees as `childFd` (for Xvfb's -displayfd).
    std::optional<std::pair<int, int>> passFd;
};

// A child process that is ended and reaped when its owner goes: no test leaves a stray
// X server or game behind, whatever assertion fails.
class Subprocess {
public:
    // Throws std::runtime_error when the program cannot be started.
    Subprocess(const std::vector<std::string>& argv, const SpawnOptions& options = {});
    Subprocess(Subprocess&& other) noexcept;
    Subprocess& operator=(Subprocess&& other) noexcept;
    Subprocess(const Subprocess&) = delete;
    Subprocess& operator=(const Subprocess&) = delete;
    ~Subprocess();

    pid_t pid() const { return pid_; }
    const std::string& program() const { return program_; }

    // The exit status if the child ends within `bound` (zero: only look).
    std::optional<ExitStatus> waitFor(std::chrono::milliseconds bound);
    bool running() { return !waitFor(std::chrono::milliseconds{0}); }
    // Asks the child to stop, then kills it if it has not within `grace`.
    void terminate(std::chrono::milliseconds grace = std::chrono::milliseconds{2000});

    // Reads captured standard output until the child closes it or `bound` runs out.
    std::string readOutput(std::chrono::milliseconds bound);

private:
    void release();

    pid_t pid_ = -1;
    std::string program_;
    int outFd_ = -1;
    std::optional<ExitStatus> status_;
};

struct CommandResult {
    std::optional<ExitStatus> status; // empty: still running when the bound ran out (then killed)
    std::string output;

    bool succeeded() const { return status && status->success(); }
};

// Runs a short command to its end, with its standard output captured.
CommandResult runCommand(const std::vector<std::string>& argv, SpawnOptions options,
                         std::chrono::milliseconds bound = std::chrono::milliseconds{10000});

} // namespace namoro::xsession
