#pragma once

#include "Form1.h"

#include "runtime/Clock.h"
#include "runtime/EventDispatcher.h"
#include "runtime/Expected.h"
#include "runtime/RandomSource.h"
#include "runtime/TimerScheduler.h"
#include "window/Form.h"
#include "window/PlayerInput.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace namoro::logic {

// One run of the program without its screen: the window built from its stored layout, the
// game's handlers wired to it, the timers on the given clock. A test plays it on a virtual
// clock; the program hands it a real one. Front ends feed it the player's input through its
// verbs and hear what changed, and that the game is over, through the form's observer.
class Game final : public window::PlayerInput {
public:
    struct Options {
        runtime::Micros timerGrid = runtime::TimerScheduler::kClassicGrid;
        // Off only to show that holding idle timers changes nothing anyone can see.
        bool holdIdleTimers = true;
    };

    // Builds the window; the message names what is wrong with the layout.
    static runtime::Expected<std::unique_ptr<Game>, std::string>
    create(std::span<const std::uint8_t> layout, const runtime::Clock& clock,
           std::unique_ptr<runtime::RandomSource> random, Options options);
    static runtime::Expected<std::unique_ptr<Game>, std::string>
    create(std::span<const std::uint8_t> layout, const runtime::Clock& clock,
           std::unique_ptr<runtime::RandomSource> random)
    {
        return create(layout, clock, std::move(random), Options{});
    }

    // Raises Load; from then on the dispatcher passes events to the handlers.
    void start();

    void click(int x, int y) override;
    void choose(const window::MenuEntry& entry) override;
    void type(window::TextBox& box, std::string text) override;
    void close() override;

    window::Form& form() { return *form_; }
    Form1& form1() { return *form1_; }
    runtime::TimerScheduler& scheduler() { return scheduler_; }
    runtime::EventDispatcher& dispatcher() { return dispatcher_; }
    runtime::RandomSource& random() { return *random_; }

private:
    Game(const runtime::Clock& clock, std::unique_ptr<runtime::RandomSource> random, Options options);
    void holdTimersWhileIdle();

    runtime::TimerScheduler scheduler_;
    runtime::EventDispatcher dispatcher_;
    std::unique_ptr<runtime::RandomSource> random_;
    std::unique_ptr<window::Form> form_;
    std::unique_ptr<Form1> form1_;
};

} // namespace namoro::logic
