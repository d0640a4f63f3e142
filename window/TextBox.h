#pragma once

#include "Control.h"
#include "FormObserver.h"

#include <string>

namespace namoro::window {

// A single-line text box. Changing its text, by program or by typing, raises Change at once,
// nested inside the write.
class TextBox final : public Control {
public:
    TextBox(std::string name, int index, Rect rect, int tabIndex, ChangeNotifier& notifier)
        : Control(std::move(name), index), rect_(rect), tabIndex_(tabIndex), notifier_(notifier) {}

    const std::string& text() const { return text_; }
    const Rect& rect() const { return rect_; }
    int tabIndex() const { return tabIndex_; }

    void setText(std::string text)
    {
        if (text == text_)
            return;
        text_ = std::move(text);
        if (notifier_.observer)
            notifier_.observer->textWritten(*this);
        if (onChange)
            onChange();
    }

    EventHandler onChange;

private:
    Rect rect_;
    int tabIndex_;
    std::string text_;
    ChangeNotifier& notifier_;
};

} // namespace namoro::window
