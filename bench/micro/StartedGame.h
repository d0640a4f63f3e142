#pragma once

#include "assets/EmbeddedLayout.h"
#include "logic/Game.h"

#include <memory>
#include <stdexcept>

namespace namoro::bench {

// A game built from the embedded layout, Load done, on the given clock.
inline std::unique_ptr<logic::Game> startedGame(const runtime::Clock& clock)
{
    auto game = logic::Game::create(assets::form1Layout(), clock, std::make_unique<runtime::MersenneRandom>());
    if (!game)
        throw std::runtime_error(game.error());
    (*game)->start();
    return std::move(game).value();
}

} // namespace namoro::bench
