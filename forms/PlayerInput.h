#pragma once

#include <cstddef>
#include <string>

namespace namoro::window {

// What a front end hands the model: the player's input in the form's own terms. The model finds
// the control and raises its event; no front end raises a form event itself. A menu entry or a
// box is named by its place among its kind; a place the form lacks is nothing.
class PlayerInput {
public:
    virtual ~PlayerInput() = default;
    // A press at the logical pixel (x, y) of the inner area, whole pixels.
    virtual void click(int x, int y) = 0;
    virtual void choose(std::size_t entry) = 0;
    // The box's whole new text, as the player left it.
    virtual void type(std::size_t box, std::string text) = 0;
    // The window closed: the program ends as the End command ends it.
    virtual void close() = 0;
};

} // namespace namoro::window
