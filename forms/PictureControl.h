#pragma once

#include "Control.h"
#include "FormListener.h"
#include "layout/GifPicture.h"

namespace namoro::window {

// An item picture: drawn unscaled at its Left and Top; Width and Height are its pixel size in twips.
class PictureControl final : public Control {
public:
    PictureControl(std::string name, std::size_t place, Rect rect, Picture picture, FormListeners& notifier)
        : Control(std::move(name), place), rect_(rect), picture_(std::move(picture)), notifier_(notifier) {}

    float left() const { return rect_.left; }
    float top() const { return rect_.top; }
    float width() const { return rect_.width; }
    float height() const { return rect_.height; }
    const Rect& rect() const { return rect_; }
    const Picture& picture() const { return picture_; }

    void setLeft(float left) { move(left, rect_.top); }
    void setTop(float top) { move(rect_.left, top); }

    EventHandler onClick;

private:
    void move(float left, float top)
    {
        if (left == rect_.left && top == rect_.top)
            return;
        const Rect before = rect_;
        rect_.left = left;
        rect_.top = top;
        notifier_.tell(&FormListener::pictureMoved, place(), before, rect_);
    }

    Rect rect_;
    Picture picture_;
    FormListeners& notifier_;
};

} // namespace namoro::window
