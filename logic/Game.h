#pragma once

#include "Form1.h"

#include "runtime/Clock.h"
#include "runtime/DueWork.h"
#include "runtime/EventDispatcher.h"
#include "runtime/Expected.h"
#include "runtime/RandomSource.h"
#include "runtime/TimerScheduler.h"
#include "forms/Form.h"
#include "forms/PlayerInput.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace namoro::logic {

// One run of the program without its screen: the window built from its stored layout, the
// game's handlers wired to it, the timers on the given clock. A test plays it on a virtual
// clock; the program hands it a real one. Front ends feed it the player's input and the clock
// through its verbs and hear everything it says, the end and runtime errors included, by
// listening to the form.
class Game final : public window::PlayerInput, public runtime::DueWork {
public:
    struct Options {
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
    void choose(std::size_t entry) override;
    void type(std::size_t box, std::string text) override;
    void close() override;

    // The timers' clock: nothing falls due once the program has ended.
    std::optional<runtime::Micros> nextDue() const override { return dispatcher_.ended() ? std::nullopt : scheduler_.nextDue(); }
    void runDue() override { scheduler_.runDue(); }
    void setOnReschedule(std::function<void()> onReschedule) override { scheduler_.setOnReschedule(std::move(onReschedule)); }
    const runtime::Clock& clock() const override { return scheduler_.clock(); }
    // The program's status once it has ended.
    std::optional<int> exitStatus() const { return dispatcher_.exitStatus(); }

    window::Form& form() { return *form_; }
    Form1& form1() { return *form1_; }
    // The runtime beneath the verbs, for the tests' harness.
    runtime::TimerScheduler& scheduler() { return scheduler_; }
    runtime::EventDispatcher& dispatcher() { return dispatcher_; }
    runtime::RandomSource& random() { return *random_; }

private:
    Game(const runtime::Clock& clock, std::unique_ptr<runtime::RandomSource> random);
    void holdTimersWhileIdle();

    runtime::TimerScheduler scheduler_;
    runtime::EventDispatcher dispatcher_;
    std::unique_ptr<runtime::RandomSource> random_;
    std::unique_ptr<window::Form> form_;
    std::unique_ptr<Form1> form1_;
};

} // namespace namoro::logic
