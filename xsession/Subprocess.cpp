#include "Subprocess.h"

#include "Pipe.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace namoro::xsession {
namespace {

using Clock = std::chrono::steady_clock;

class FileActions {
public:
    FileActions() { posix_spawn_file_actions_init(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }

    void dup(int from, int to) { posix_spawn_file_actions_adddup2(&actions_, from, to); }
    void discard(int fd) { posix_spawn_file_actions_addopen(&actions_, fd, "/dev/null", O_RDWR, 0); }
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

std::vector<std::string> childEnvironment(const SpawnOptions& options)
{
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text(*entry);
        const auto eq = text.find('=');
        if (eq != std::string::npos)
            variables[text.substr(0, eq)] = text.substr(eq + 1);
    }
    for (const auto& [name, value] : options.environment)
        variables[name] = value;
    std::vector<std::string> result;
    for (const auto& [name, value] : variables)
        result.push_back(name + "=" + value);
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    for (auto& s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

} // namespace

ExitStatus ExitStatus::fromWait(int status)
{
    ExitStatus result;
    if (WIFEXITED(status)) {
        result.exited = true;
        result.code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}

std::string ExitStatus::describe() const
{
    if (exited)
        return "exit status " + std::to_string(code);
    return std::string("killed by signal ") + std::to_string(signal) + " (" + strsignal(signal) + ")";
}

Subprocess::Subprocess(const std::vector<std::string>& argv, const SpawnOptions& options)
    : program_(argv.empty() ? std::string() : argv.front())
{
    if (argv.empty())
        throw std::invalid_argument("no program to start");

    FileActions actions;
    std::optional<Pipe> in, out;
    if (options.input) {
        in.emplace();
        actions.dup(in->read, STDIN_FILENO);
    } else {
        actions.discard(STDIN_FILENO);
    }
    if (options.out == SpawnOptions::Stream::Capture) {
        out.emplace();
        actions.dup(out->write, STDOUT_FILENO);
    } else if (options.out == SpawnOptions::Stream::Discard) {
        actions.discard(STDOUT_FILENO);
    }
    if (options.err == SpawnOptions::Stream::Discard)
        actions.discard(STDERR_FILENO);
    else if (options.err == SpawnOptions::Stream::Capture)
        throw std::invalid_argument("standard error is inherited or discarded");
    if (options.passFd)
        actions.dup(options.passFd->first, options.passFd->second);

    std::vector<std::string> args = argv;
    std::vector<std::string> env = childEnvironment(options);
    auto argp = pointers(args);
    auto envp = pointers(env);
    const int error = posix_spawnp(&pid_, program_.c_str(), actions.get(), nullptr, argp.data(), envp.data());
    if (error != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start " + program_ + ": " + std::strerror(error));
    }
    if (in) {
        in->closeRead();
        const std::string& text = *options.input;
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = ::write(in->write, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break; // the child closed its input: it has what it wanted
            done += static_cast<std::size_t>(n);
        }
    }
    if (out) {
        out->closeWrite();
        outFd_ = out->releaseRead();
    }
}

Subprocess::Subprocess(Subprocess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), program_(std::move(other.program_)),
      outFd_(std::exchange(other.outFd_, -1)), status_(other.status_)
{
}

Subprocess& Subprocess::operator=(Subprocess&& other) noexcept
{
    if (this != &other) {
        release();
        pid_ = std::exchange(other.pid_, -1);
        program_ = std::move(other.program_);
        outFd_ = std::exchange(other.outFd_, -1);
        status_ = other.status_;
    }
    return *this;
}

Subprocess::~Subprocess() { release(); }

void Subprocess::release()
{
    if (pid_ > 0)
        terminate();
    if (outFd_ >= 0)
        ::close(outFd_);
    outFd_ = -1;
    pid_ = -1;
}

std::optional<ExitStatus> Subprocess::waitFor(std::chrono::milliseconds bound)
{
    if (status_ || pid_ <= 0)
        return status_;
    const auto deadline = Clock::now() + bound;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            status_ = ExitStatus::fromWait(status);
            return status_;
        }
        if (done < 0 && errno != EINTR) {
            status_ = ExitStatus{}; // not ours to wait for any more
            return status_;
        }
        if (Clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds{2});
    }
}

void Subprocess::terminate(std::chrono::milliseconds grace)
{
    if (pid_ <= 0 || waitFor(std::chrono::milliseconds{0}))
        return;
    ::kill(pid_, SIGTERM);
    if (waitFor(grace))
        return;
    ::kill(pid_, SIGKILL);
    waitFor(std::chrono::milliseconds{5000});
}

std::string Subprocess::readOutput(std::chrono::milliseconds bound)
{
    std::string result;
    if (outFd_ < 0)
        return result;
    const auto deadline = Clock::now() + bound;
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        pollfd fd{outFd_, POLLIN, 0};
        const int ready = ::poll(&fd, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        const ssize_t n = ::read(outFd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(outFd_);
            outFd_ = -1;
            break;
        }
        result.append(buffer, static_cast<std::size_t>(n));
    }
    return result;
}

CommandResult runCommand(const std::vector<std::string>& argv, SpawnOptions options, std::chrono::milliseconds bound)
{
    options.out = SpawnOptions::Stream::Capture;
    const auto deadline = Clock::now() + bound;
    Subprocess child(argv, options);
    CommandResult result;
    result.output = child.readOutput(bound);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    result.status = child.waitFor(std::max(left, std::chrono::milliseconds{0}));
    return result;
}

} // namespace namoro::xsession
