#pragma once

#include "Image.h"
#include "PrivateDisplay.h"
#include "Process.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace namoro::xsession {

struct Point {
    int x = 0;
    int y = 0;
};

// A program running on a private display, seen and driven only from outside: its top-level
// window found by caption, input sent as X events (xdotool), text read through the clipboard
// (xclip), pixels read from screenshots (ImageMagick's import). Points are in the window's
// inner area, below the menu bar.
class ProgramWindow {
public:
    struct Options {
        std::string caption;
        int innerHeight = 0; // the menu bar is what the window has above it
        std::chrono::milliseconds startBound{30000};
        std::chrono::milliseconds responseBound{5000}; // for a menu to open or close
    };

    // Starts the program and waits for its window to be shown; throws if it is not.
    ProgramWindow(const PrivateDisplay& display, const std::vector<std::string>& argv, Options options);
    // Takes over a program started with `programOptions` and waits for its window.
    ProgramWindow(const PrivateDisplay& display, Process program, Options options);

    // How a program is started on `display`: its environment names the display and Qt's X platform.
    static ProcessOptions programOptions(const PrivateDisplay& display);

    Process& process() { return process_; }
    const std::string& windowId() const { return windowId_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int menuBarHeight() const { return height_ - options_.innerHeight; }
    Rect innerArea() const { return {0, menuBarHeight(), width_, options_.innerHeight}; }

    void click(Point p);
    void keys(const std::vector<std::string>& keys);
    void type(const std::string& text);
    // Replaces the text of the box at `p` as a player would: click, select all, type.
    void replaceText(Point p, const std::string& text);
    // Pastes `text` over the text of the box at `p`: put on the clipboard, then ctrl+a ctrl+v,
    // and copies the box back to know the paste is in. Throws if either does not happen.
    void paste(Point p, const std::string& text);
    // `count` clicks at `p` as fast as the X server takes them.
    void clickBurst(Point p, int count);
    // Asks the X server to give the window this outer size; the program may answer with another.
    void resize(int width, int height);
    // Opens the menu bar's first menu with a click on its title and clicks command `index`
    // of its `count` commands. Throws if the menu does not open.
    void chooseMenuCommand(int index, int count);
    // The text of the box at `p`, copied to the clipboard with ctrl+a ctrl+c; nothing if no
    // copy arrives within `bound` (an empty box copies nothing).
    std::optional<std::string> readText(Point p, std::chrono::milliseconds bound = 10s);
    // The whole window, menu bar included; `innerArea()` locates the rest.
    Image screenshot();
    // What a window manager sends when the player closes the window (WM_DELETE_WINDOW).
    void requestClose();

private:
    CommandResult xdotool(std::vector<std::string> args, std::chrono::milliseconds bound = 10s);
    std::vector<std::string> visibleWindows();
    std::optional<std::string> clipboardText();
    bool ownClipboard(const std::string& text);

    Options options_;
    ProcessOptions clientOptions_;
    std::string displayName_;
    Process process_;
    std::string windowId_;
    int width_ = 0;
    int height_ = 0;
    std::optional<Process> clipboardKeeper_;
    int sentinelCount_ = 0;
};

} // namespace namoro::xsession
