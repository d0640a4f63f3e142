#include "Game.h"

#include "runtime/Variant.h"
#include "forms/FormBuilder.h"
#include "forms/HitTest.h"

namespace namoro::logic {

Game::Game(const runtime::Clock& clock, std::unique_ptr<runtime::RandomSource> random)
    : scheduler_(clock), random_(std::move(random))
{
}

runtime::Expected<std::unique_ptr<Game>, std::string>
Game::create(std::span<const std::uint8_t> layout, const runtime::Clock& clock,
             std::unique_ptr<runtime::RandomSource> random, Options options)
{
    std::unique_ptr<Game> game(new Game(clock, std::move(random)));
    auto form = window::loadForm(layout, game->scheduler_, game->dispatcher_);
    if (!form)
        return runtime::Unexpected{form.error().message()};
    game->form_ = std::move(form).value();
    window::FormListeners& listeners = game->form_->notifier();
    game->dispatcher_.setErrorReport([&listeners](const runtime::RuntimeError& error) { listeners.tell(&window::FormListener::errorRaised, error); });
    game->dispatcher_.setEndRequest([&listeners](int status) { listeners.tell(&window::FormListener::ended, status); });
    try {
        game->form1_ = std::make_unique<Form1>(*game->form_, game->dispatcher_, *game->random_);
    } catch (const runtime::RuntimeError& error) {
        return runtime::Unexpected{std::string(error.what())};
    }
    if (options.holdIdleTimers) {
        game->holdTimersWhileIdle();
        game->dispatcher_.setAfterEvent([raw = game.get()] { raw->holdTimersWhileIdle(); });
    }
    return game;
}

// The one rule for skipping ticks. Every timer handler's first step returns unless StartFlag is
// 1, so while it is not, a tick changes nothing and the timers are held: the program sleeps
// until Start instead of waking 64 times a second. StartFlag is written only by handlers, so the
// rule is looked at again after each one; the scheduler keeps every timer's phase while held,
// so the first tick after Start comes exactly when it would have come anyway.
void Game::holdTimersWhileIdle()
{
    scheduler_.setHeld(!runtime::variantEquals(form1_->startFlag(), 1));
}

void Game::start()
{
    dispatcher_.load(form_->onLoad);
}

void Game::click(int x, int y)
{
    if (window::PictureControl* picture = window::pictureAt(*form_, x, y))
        dispatcher_.dispatch(picture->onClick);
}

void Game::choose(std::size_t entry)
{
    if (entry < form_->menuEntries().size())
        dispatcher_.dispatch(form_->menuEntries()[entry]->onClick);
}

// Typing is an event like a click: it is dropped before Load, while an error shows and after the end.
void Game::type(std::size_t box, std::string text)
{
    if (box < form_->textBoxes().size())
        dispatcher_.dispatch([&box = *form_->textBoxes()[box], &text] { box.setText(std::move(text)); });
}

void Game::close() { dispatcher_.end(0); }

} // namespace namoro::logic
