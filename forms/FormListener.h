#pragma once

#include "runtime/RuntimeError.h"

#include <cstddef>
#include <string>
#include <vector>

namespace namoro::window {

struct Rect;

// What the model tells whoever shows it. A control is named by its place among the form's
// controls of its kind (pictures(), textBoxes(), labels()), so a listener needs no control.
class FormListener {
public:
    virtual ~FormListener() = default;
    virtual void pictureMoved(std::size_t /*picture*/, const Rect& /*before*/, const Rect& /*after*/) {}
    virtual void textChanged(std::size_t /*box*/, const std::string& /*text*/) {}
    virtual void captionChanged(std::size_t /*label*/, const std::string& /*caption*/) {}
    // The countdown has stopped every timer: said once, when the game is over.
    virtual void gameOver() {}
    // A runtime error is said first; `ended` with status 1 follows once the report is done.
    virtual void errorRaised(const runtime::RuntimeError& /*error*/) {}
    virtual void ended(int /*status*/) {}
};

// Everyone listening to one form, told in the order they came; one may join while the others
// are being told (the accessibility layer is made when first asked for).
class FormListeners {
public:
    void add(FormListener& listener) { listeners_.push_back(&listener); }
    void remove(FormListener& listener) { std::erase(listeners_, &listener); }

    template <class... Params, class... Args>
    void tell(void (FormListener::*say)(Params...), const Args&... args)
    {
        for (std::size_t i = 0; i < listeners_.size(); ++i)
            (listeners_[i]->*say)(args...);
    }

private:
    std::vector<FormListener*> listeners_;
};

} // namespace namoro::window
