#pragma once

#include "Control.h"
#include "FormListener.h"

#include <cstdint>
#include <string>

namespace namoro::window {

struct LabelFont {
    std::string family;
    double pointSize = 0;
    int weight = 400;
    int charset = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

enum class Alignment { Left, Right, Centre };

// A caption drawn over its own background colour; it takes no input.
class Label final : public Control {
public:
    struct Style {
        std::uint32_t backColour = 0x00FFFFFF; // 0x00BBGGRR
        std::uint32_t foreColour = 0;
        Alignment alignment = Alignment::Left;
        LabelFont font;
    };

    Label(std::string name, std::size_t place, Rect rect, Style style, FormListeners& notifier)
        : Control(std::move(name), place), rect_(rect), style_(std::move(style)), notifier_(notifier) {}

    const std::string& caption() const { return caption_; }
    const Rect& rect() const { return rect_; }
    const Style& style() const { return style_; }

    void setCaption(std::string caption)
    {
        if (caption == caption_)
            return;
        caption_ = std::move(caption);
        notifier_.tell(&FormListener::captionChanged, place(), caption_);
    }

private:
    Rect rect_;
    Style style_;
    std::string caption_;
    FormListeners& notifier_;
};

} // namespace namoro::window
