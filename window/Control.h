#pragma once

#include <functional>
#include <string>

namespace namoro::window {

// What the program runs when a control raises one of its events; empty when unhandled.
using EventHandler = std::function<void()>;

class FormObserver;

// Lets controls tell whoever shows the form what changed, without knowing who that is.
struct ChangeNotifier {
    FormObserver* observer = nullptr;
};

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

private:
    std::string name_;
    int index_;
};

} // namespace namoro::window
