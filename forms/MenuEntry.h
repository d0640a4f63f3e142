#pragma once

#include "Control.h"

namespace namoro::window {

// A menu on the bar, or a command under the menu that precedes it.
class MenuEntry final : public Control {
public:
    MenuEntry(std::string name, std::size_t place, std::string caption, bool topLevel)
        : Control(std::move(name), place), caption_(std::move(caption)), topLevel_(topLevel) {}

    const std::string& caption() const { return caption_; }
    bool topLevel() const { return topLevel_; }

    EventHandler onClick;

private:
    std::string caption_;
    bool topLevel_;
};

} // namespace namoro::window
