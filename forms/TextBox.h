#pragma once

#include "Control.h"
#include "FormListener.h"

#include <string>

namespace namoro::window {

// A single-line text box. Changing its text, by program or by typing, raises Change at once,
// nested inside the write.
class TextBox final : public Control {
public:
    TextBox(std::string name, std::size_t place, Rect rect, int tabIndex, FormListeners& notifier)
        : Control(std::move(name), place), rect_(rect), tabIndex_(tabIndex), notifier_(notifier) {}

    const std::string& text() const { return text_; }
    const Rect& rect() const { return rect_; }
    int tabIndex() const { return tabIndex_; }

    void setText(std::string text)
    {
        if (text == text_)
            return;
        text_ = std::move(text);
        notifier_.tell(&FormListener::textChanged, place(), text_);
        if (onChange)
            onChange();
    }

    EventHandler onChange;

private:
    Rect rect_;
    int tabIndex_;
    std::string text_;
    FormListeners& notifier_;
};

} // namespace namoro::window
