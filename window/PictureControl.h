#pragma once

#include "Control.h"
#include "FormObserver.h"
#include "GifPicture.h"

namespace namoro::window {

// An item picture: drawn unscaled at its Left and Top; Width and Height are its pixel size in twips.
class PictureControl final : public Control {
public:
    PictureControl(std::string name, int index, Rect rect, Picture picture, ChangeNotifier& notifier)
        : Control(std::move(name), index), rect_(rect), picture_(std::move(picture)), notifier_(notifier) {}

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
        const Rect before = rect_;
        rect_.left = left;
        rect_.top = top;
        if (notifier_.observer)
            notifier_.observer->pictureMoved(*this, before);
    }

    Rect rect_;
    Picture picture_;
    ChangeNotifier& notifier_;
};

} // namespace namoro::window
