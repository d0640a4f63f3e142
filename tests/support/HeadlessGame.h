#pragma once

// A whole game without a screen, on a virtual clock, with random fractions the test chooses.

#include "assets/EmbeddedLayout.h"
#include "logic/Game.h"
#include "forms/HitTest.h"

#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace namoro::testing {

using namespace std::chrono_literals;

class ScriptedRandom final : public runtime::RandomSource {
public:
    std::deque<float> queued;   // drawn first, in order
    float otherwise = 0.5f;
    int draws = 0;
    int reseeds = 0;
    bool reseedFails = false;   // as std::random_device does without an entropy source

    float next() override
    {
        ++draws;
        if (queued.empty())
            return otherwise;
        const float value = queued.front();
        queued.pop_front();
        return value;
    }
    void reseed() override
    {
        if (reseedFails)
            throw std::runtime_error("random_device: no entropy source");
        ++reseeds;
    }
};

class HeadlessGame : private window::FormListener {
public:
    explicit HeadlessGame(bool start = true, logic::Game::Options options = {})
    {
        auto random = std::make_unique<ScriptedRandom>();
        random_ = random.get();
        auto created = logic::Game::create(assets::form1Layout(), clock_, std::move(random), options);
        if (!created)
            throw std::runtime_error(created.error());
        game_ = std::move(created).value();
        form().listen(*this); // the game goes first
        if (start)
            game_->start();
    }

    logic::Game& game() { return *game_; }
    window::Form& form() { return game_->form(); }
    logic::Form1& form1() { return game_->form1(); }
    runtime::EventDispatcher& dispatcher() { return game_->dispatcher(); }
    ScriptedRandom& random() { return *random_; }
    runtime::Micros now() const { return clock_.now(); }

    void advance(runtime::Micros duration) { game_->scheduler().advanceTo(clock_, clock_.now() + duration); }
    // Runs up to the next countdown tick and stops right after it.
    void advanceToNextCountdownTick()
    {
        const auto before = form1().timeLeft();
        const auto text = time().text();
        for (int i = 0; i < 1000 && form1().timeLeft() == before && time().text() == text; ++i)
            advance(1ms);
    }

    // The player's input goes through the model's verbs, as the front ends' does.
    void choose(const std::string& menuEntry) { game_->choose(form().menuEntry(menuEntry).place()); }
    void start() { choose("MenuStart"); }
    void type(window::TextBox& box, const std::string& text) { game_->type(box.place(), text); }
    // A click on the first pixel where the item shows, as the hit test sees it.
    void click(int item)
    {
        const window::PictureControl& target = picture(item);
        const int left = window::twipsToPixels(target.left()), top = window::twipsToPixels(target.top());
        for (int y = top; y < top + target.picture().height; ++y) {
            for (int x = left; x < left + target.picture().width; ++x) {
                if (window::pictureAt(form(), x, y) == &target)
                    return game_->click(x, y);
            }
        }
        ADD_FAILURE() << "Image" << item << " is hidden under the others";
    }

    window::PictureControl& picture(int item) { return form().picture("Image" + std::to_string(item)); }
    window::TextBox& score() { return form().textBox("Text1"); }
    window::TextBox& time() { return form().textBox("Text2"); }
    const std::string& caption() { return form().label("Label1").caption(); }

    // Playing until the countdown writes `shown`.
    void playUntilTimeShows(const std::string& shown)
    {
        for (int i = 0; i < 70'000 && time().text() != shown; ++i)
            advance(1ms);
    }

    std::vector<int> reported;
    std::optional<int> endStatus;

private:
    void errorRaised(const runtime::RuntimeError& error) override { reported.push_back(error.code()); }
    void ended(int status) override { endStatus = status; }

    runtime::VirtualClock clock_;
    ScriptedRandom* random_ = nullptr; // owned by the game
    std::unique_ptr<logic::Game> game_;
};

} // namespace namoro::testing
