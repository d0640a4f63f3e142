#pragma once

#include "ItemFinder.h"

#include <chrono>
#include <optional>
#include <random>
#include <string>

struct xcb_connection_t;

namespace namoro::bench {

// Plays a running game from outside with X test input (XTEST) and times each click on an
// item to the X server's damage of the score box that shows the new score.
class ClickToScreen {
public:
    // `window` is the game's top-level window; `inner` (its inner area) and `scoreText` (the
    // inside of its score box) are in its coordinates.
    // Throws std::runtime_error if the display lacks XTEST or DAMAGE.
    ClickToScreen(const std::string& display, unsigned window, xsession::Rect inner, xsession::Rect scoreText,
                  const ItemFinder& finder);
    ClickToScreen(const ClickToScreen&) = delete;
    ClickToScreen& operator=(const ClickToScreen&) = delete;
    ~ClickToScreen();

    // A plain left click at a point of the window.
    void click(int x, int y);

    // Finds an item on the screen and clicks it; the time from the button press to the first
    // damage after which the score box shows something else. Nothing when no item shows or
    // the score box does not change within `bound` (a miss).
    std::optional<std::chrono::duration<double, std::milli>> clickItem(std::chrono::milliseconds bound);

private:
    xsession::Image grab(const xsession::Rect& r);
    void fake(int type, int detail, int x = 0, int y = 0);
    bool touchesScoreText(const void* event) const; // an xcb event
    // Drops pending events (those already read only, or all); whether one damaged the score box.
    bool discardEvents(bool queuedOnly);

    xcb_connection_t* connection_ = nullptr;
    unsigned window_ = 0;
    unsigned root_ = 0;
    int originX_ = 0, originY_ = 0; // the window's place on the root window
    unsigned damageEvent_ = 0;
    xsession::Rect inner_;
    xsession::Rect scoreText_;
    const ItemFinder& finder_;
    std::minstd_rand random_{7};
};

} // namespace namoro::bench
