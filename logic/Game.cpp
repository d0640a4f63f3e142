#include "Game.h"

#include "window/FormBuilder.h"

namespace namoro::logic {

Game::Game(const runtime::Clock& clock, std::unique_ptr<runtime::RandomSource> random, Options options)
    : scheduler_(clock, options.timerGrid), random_(std::move(random))
{
}

runtime::Expected<std::unique_ptr<Game>, std::string>
Game::create(std::span<const std::uint8_t> layout, const runtime::Clock& clock,
             std::unique_ptr<runtime::RandomSource> random, Options options)
{
    std::unique_ptr<Game> game(new Game(clock, std::move(random), options));
    auto form = window::loadForm(layout, game->scheduler_, game->dispatcher_);
    if (!form)
        return runtime::Unexpected{form.error().message()};
    game->form_ = std::move(form).value();
    try {
        game->form1_ = std::make_unique<Form1>(*game->form_, game->dispatcher_, *game->random_);
    } catch (const runtime::RuntimeError& error) {
        return runtime::Unexpected{std::string(error.what())};
    }
    return game;
}

void Game::start()
{
    dispatcher_.load(form_->onLoad);
}

} // namespace namoro::logic
