#pragma once

namespace namoro::window {

class PictureControl;
class TextBox;
class Label;
struct Rect;

// The presentation layer's view of model changes.
class FormObserver {
public:
    virtual ~FormObserver() = default;
    virtual void pictureMoved(const PictureControl& picture, const Rect& before) = 0;
    virtual void textWritten(const TextBox& box) = 0;
    virtual void captionWritten(const Label& label) = 0;
    // The countdown has stopped every timer: raised once, when the game is over.
    virtual void gameOver() {}
};

} // namespace namoro::window
