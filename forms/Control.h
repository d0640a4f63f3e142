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
    Control(std::string name, std::size_t place) : name_(std::move(name)), place_(place) {}
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    const std::string& name() const { return name_; }
    // Place among the form's controls of its kind, in element order (the creation and stacking
    // order): how the model's news and the verbs name it.
    std::size_t place() const { return place_; }

private:
    std::string name_;
    std::size_t place_;
};

} // namespace namoro::window
