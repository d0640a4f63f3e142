#pragma once

#include "ItemArt.h"

#include "tests/xsession/PrivateDisplay.h"
#include "tests/xsession/ProgramWindow.h"

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace namoro::e2e {

using namespace std::chrono_literals;

// A sanitizer build looks for leaks while the program exits, which takes a while of its own.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr std::chrono::milliseconds kExitCheckTime = 3s;
#else
inline constexpr std::chrono::milliseconds kExitCheckTime = 0s;
#endif

// The built game on a private X server, played only through X input and read back through
// the clipboard and screenshots.
class GameOnX {
public:
    static constexpr int kInnerWidth = 650;
    static constexpr int kInnerHeight = 536;
    static constexpr Point kTimeBox{40, 527}; // the visible middle of each box
    static constexpr Point kScoreBox{612, 527};
    static constexpr Rect kTimeBoxRect{0, 520, 81, 16};
    static constexpr Rect kScoreBoxRect{576, 520, 73, 16};
    static constexpr Rect kCaptionRect{0, 488, 137, 32};

    GameOnX();

    const xsession::PrivateDisplay& display() const { return display_; }
    xsession::ProgramWindow& window() { return *window_; }
    const std::vector<ItemArt>& art() const { return art_; }

    std::optional<std::string> score() { return window_->readText(kScoreBox); }
    std::optional<std::string> time() { return window_->readText(kTimeBox); }
    void setScore(const std::string& text) { window_->replaceText(kScoreBox, text); }
    void setTime(const std::string& text) { window_->replaceText(kTimeBox, text); }
    void chooseStart() { window_->chooseMenuCommand(0, 2); }
    void chooseEnd() { window_->chooseMenuCommand(1, 2); }
    void clickAtStart(int item) { window_->click(startClickPoint(art_, item)); }
    void click(Point p) { window_->click(p); }

    Image screenshot() { return window_->screenshot(); }
    // The inner area within a screenshot.
    Rect inner() const { return window_->innerArea(); }
    // A rectangle of the inner area within a screenshot.
    Rect onScreen(Rect r) const { return {r.x + inner().x, r.y + inner().y, r.width, r.height}; }

    // Screenshots until the start-up screen shows, for at most `bound`; the last comparison.
    StartScreenReport waitForStartScreen(std::chrono::milliseconds bound = 15s);

    bool running() { return window_->process().running(); }
    std::optional<xsession::ExitStatus> waitForExit(std::chrono::milliseconds bound)
    {
        return window_->process().waitFor(bound + kExitCheckTime);
    }

private:
    xsession::PrivateDisplay display_;
    std::optional<xsession::ProgramWindow> window_;
    std::vector<ItemArt> art_;
};

// Looks for `ready` to hold, every `step`, for at most `bound`: the tests wait for states,
// never for times.
template <class F>
bool eventually(std::chrono::milliseconds bound, F ready, std::chrono::milliseconds step = 50ms)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        if (ready())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(step);
    }
}

// The whole text as a whole number, or nothing.
std::optional<int> wholeNumber(const std::optional<std::string>& text);

} // namespace namoro::e2e
