#pragma once

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <utility>

namespace namoro::xsession {

// A pipe whose ends are closed on exec unless handed to a child explicitly, and numbered
// clear of the low descriptors a child's standard streams and passed descriptors use.
struct Pipe {
    int read = -1;
    int write = -1;

    Pipe()
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
        read = high(fds[0]);
        write = high(fds[1]);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    ~Pipe()
    {
        closeRead();
        closeWrite();
    }

    void closeRead() { closeEnd(read); }
    void closeWrite() { closeEnd(write); }
    // Hands the read end over to a new owner.
    int releaseRead() { return std::exchange(read, -1); }

private:
    static int high(int fd)
    {
        const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 10);
        ::close(fd);
        if (moved < 0)
            throw std::runtime_error(std::string("fcntl: ") + std::strerror(errno));
        return moved;
    }
    static void closeEnd(int& fd)
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

} // namespace namoro::xsession
