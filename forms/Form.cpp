#include "Form.h"

#include "runtime/RuntimeError.h"

#include <algorithm>

namespace namoro::window {
namespace {

template <class T>
T* find(const std::vector<std::unique_ptr<T>>& controls, std::string_view name)
{
    const auto it = std::find_if(controls.begin(), controls.end(), [&](const auto& c) { return c->name() == name; });
    return it == controls.end() ? nullptr : it->get();
}

template <class T>
T& require(const std::vector<std::unique_ptr<T>>& controls, std::string_view name, std::string_view kind)
{
    if (T* control = find(controls, name))
        return *control;
    throw runtime::RuntimeError(runtime::ErrorNumber::InvalidFileFormat,
                                "the window has no " + std::string(kind) + " named " + std::string(name));
}

} // namespace

Form::Form(Settings settings)
    : settings_(std::move(settings)), scaleWidth_(settings_.innerWidth), scaleHeight_(settings_.innerHeight)
{
}

void Form::setScaleSize(float width, float height)
{
    scaleWidth_ = width;
    scaleHeight_ = height;
}

PictureControl& Form::picture(std::string_view name) const { return require(pictures_, name, "picture"); }
TextBox& Form::textBox(std::string_view name) const { return require(textBoxes_, name, "text box"); }
Label& Form::label(std::string_view name) const { return require(labels_, name, "label"); }
Timer& Form::timer(std::string_view name) const { return require(timers_, name, "timer"); }
MenuEntry& Form::menuEntry(std::string_view name) const { return require(menuEntries_, name, "menu entry"); }

bool Form::hasControl(std::string_view name) const
{
    return name == settings_.name || find(pictures_, name) || find(textBoxes_, name) || find(labels_, name) ||
           find(timers_, name) || find(menuEntries_, name);
}

EventHandler& Form::eventSlot(std::string_view control, std::string_view event)
{
    if (control == settings_.name) {
        if (event == "Load")
            return onLoad;
    } else if (event == "Click") {
        if (auto* p = find(pictures_, control))
            return p->onClick;
        if (auto* m = find(menuEntries_, control))
            return m->onClick;
    } else if (event == "Timer") {
        return timer(control).onTimer;
    } else if (event == "Change") {
        return textBox(control).onChange;
    }
    throw runtime::RuntimeError(runtime::ErrorNumber::InvalidFileFormat,
                                "the window has no event " + std::string(control) + "." + std::string(event));
}

} // namespace namoro::window
