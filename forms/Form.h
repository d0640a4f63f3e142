#pragma once

#include "Control.h"
#include "FormListener.h"
#include "Label.h"
#include "MenuEntry.h"
#include "PictureControl.h"
#include "TextBox.h"
#include "Timer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace namoro::window {

// The window and its controls, built once from the stored layout and alive until the program ends.
class Form {
public:
    struct Settings {
        std::string name;
        std::string caption;
        std::uint32_t backColour = 0x00FFFFFF;  // 0x00BBGGRR
        int screenLeft = 0;                      // inner area's stored place on the screen, twips
        int screenTop = 0;
        float innerWidth = 0;                    // designed inner size, twips
        float innerHeight = 0;
    };

    explicit Form(Settings settings);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const Settings& settings() const { return settings_; }
    const std::string& name() const { return settings_.name; }
    const std::string& caption() const { return settings_.caption; }
    std::uint32_t backColour() const { return settings_.backColour; }

    // The current inner size in twips; it follows the window when the player resizes it.
    float scaleWidth() const { return scaleWidth_; }
    float scaleHeight() const { return scaleHeight_; }
    void setScaleSize(float width, float height);

    // Lookups throw a runtime error for a name the window lacks.
    PictureControl& picture(std::string_view name) const;
    TextBox& textBox(std::string_view name) const;
    Label& label(std::string_view name) const;
    Timer& timer(std::string_view name) const;
    MenuEntry& menuEntry(std::string_view name) const;

    // The handler slot of a control's event, by the names the wiring uses ("Image3", "Click").
    EventHandler& eventSlot(std::string_view control, std::string_view event);

    // In element order: a later picture lies above an earlier one.
    const std::vector<std::unique_ptr<PictureControl>>& pictures() const { return pictures_; }
    const std::vector<std::unique_ptr<TextBox>>& textBoxes() const { return textBoxes_; }
    const std::vector<std::unique_ptr<Label>>& labels() const { return labels_; }
    const std::vector<std::unique_ptr<Timer>>& timers() const { return timers_; }
    const std::vector<std::unique_ptr<MenuEntry>>& menuEntries() const { return menuEntries_; }

    void add(std::unique_ptr<PictureControl> control) { pictures_.push_back(std::move(control)); }
    void add(std::unique_ptr<TextBox> control) { textBoxes_.push_back(std::move(control)); }
    void add(std::unique_ptr<Label> control) { labels_.push_back(std::move(control)); }
    void add(std::unique_ptr<Timer> control) { timers_.push_back(std::move(control)); }
    void add(std::unique_ptr<MenuEntry> control) { menuEntries_.push_back(std::move(control)); }

    bool hasControl(std::string_view name) const;

    // Whoever shows the form listens, and stops before it goes; looking on changes nothing.
    void listen(FormListener& listener) const { notifier_.add(listener); }
    void stopListening(FormListener& listener) const { notifier_.remove(listener); }
    // What the controls and the game tell every listener through.
    FormListeners& notifier() { return notifier_; }

    EventHandler onLoad;

private:
    Settings settings_;
    float scaleWidth_;
    float scaleHeight_;
    mutable FormListeners notifier_;
    std::vector<std::unique_ptr<PictureControl>> pictures_;
    std::vector<std::unique_ptr<TextBox>> textBoxes_;
    std::vector<std::unique_ptr<Label>> labels_;
    std::vector<std::unique_ptr<Timer>> timers_;
    std::vector<std::unique_ptr<MenuEntry>> menuEntries_;
};

} // namespace namoro::window
