#pragma once

#include <chrono>
#include <optional>
#include <string>

struct xcb_connection_t;

namespace namoro::bench {

// Watches a display for the first drawing into a top-level window with a given caption: the
// moment a program's first frame is on the screen. Create it before starting the program, so
// that no window escapes it.
class FirstFrameWatch {
public:
    explicit FirstFrameWatch(const std::string& display);
    FirstFrameWatch(const FirstFrameWatch&) = delete;
    FirstFrameWatch& operator=(const FirstFrameWatch&) = delete;
    ~FirstFrameWatch();

    // When the first drawing into a mapped window captioned `caption` reached the server;
    // nothing if none did within `bound`.
    std::optional<std::chrono::steady_clock::time_point> waitForFirstFrame(const std::string& caption,
                                                                           std::chrono::milliseconds bound);

private:
    bool captionIs(unsigned window, const std::string& caption);

    xcb_connection_t* connection_ = nullptr;
    unsigned root_ = 0;
    unsigned damageEvent_ = 0;
};

} // namespace namoro::bench
