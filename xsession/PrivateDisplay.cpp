#include "PrivateDisplay.h"

#include "Pipe.h"

#include <chrono>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace namoro::xsession {
namespace {

constexpr int kDisplayFdInChild = 3;
constexpr auto kStartBound = std::chrono::seconds{20};

Subprocess startServer(const std::string& screen, int displayFd)
{
    SpawnOptions options;
    options.out = SpawnOptions::Stream::Discard;
    options.err = SpawnOptions::Stream::Discard;
    options.passFd = std::make_pair(displayFd, kDisplayFdInChild);
    return Subprocess({"Xvfb", "-displayfd", std::to_string(kDisplayFdInChild), "-screen", "0", screen, "-nolisten",
                       "tcp", "-noreset"},
                      options);
}

} // namespace

PrivateDisplay::PrivateDisplay(const std::string& screen)
{
    // Xvfb writes its display number into this pipe once it accepts connections.
    Pipe pipe;
    server_.emplace(startServer(screen, pipe.write));
    pipe.closeWrite();

    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + kStartBound;
    while (number.empty() || number.back() != '\n') {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd fd{pipe.read, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            throw std::runtime_error("Xvfb gave no display number within 20 s");
        char c;
        if (::read(pipe.read, &c, 1) != 1)
            throw std::runtime_error("Xvfb ended before it gave a display number");
        number += c;
    }
    number.pop_back();
    if (number.empty())
        throw std::runtime_error("Xvfb gave an empty display number");
    name_ = ":" + number;
}

} // namespace namoro::xsession
