#pragma once

#include "Process.h"

#include <string>
#include <utility>
#include <vector>

namespace namoro::xsession {

// An X server of our own (Xvfb) on a display number it picks itself, so that parallel runs
// never meet. No window manager: top-level windows sit where their programs put them.
class PrivateDisplay {
public:
    // Throws std::runtime_error when the server does not come up.
    explicit PrivateDisplay(const std::string& screen = "1024x768x24");

    const std::string& name() const { return name_; } // ":N"
    // What a client needs in its environment to use this display.
    std::vector<std::pair<std::string, std::string>> environment() const { return {{"DISPLAY", name_}}; }

private:
    Process server_;
    std::string name_;
};

} // namespace namoro::xsession
