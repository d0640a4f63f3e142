#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace namoro::window {

// What the program runs when a control raises one of its events; empty when unhandled.
using EventHandler = std::function<void()>;

// Position and size in twips, single precision, from the top-left of the inner area.
struct Rect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

class Control {
public:
    Control(std::string name, int index) : name_(std::move(name)), index_(index) {}
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    const std::string& name() const { return name_; }
    // Position in the stored element order, which is also the creation and stacking order.
    int index() const { return index_; }
    // Place among the form's controls of its kind: how the model's news and the verbs name it.
    std::size_t place() const { return place_; }

private:
    friend class Form; // gives the place as it takes the control
    std::string name_;
    int index_;
    std::size_t place_ = 0;
};

} // namespace namoro::window
