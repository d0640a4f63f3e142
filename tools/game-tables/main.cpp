// Writes the game's tables as JSON, from the model's own definitions, for the scripts that need
// them (the web font cutter, the browser test, the page's files): none of them reads C++ or the
// layout's source. The window is the built one, described as the page reads it.
#include "assets/EmbeddedLayout.h"
#include "logic/Game.h"
#include "logic/ItemTable.h"
#include "logic/RankTable.h"
#include "runtime/JsonWriter.h"
#include "face/WindowJson.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv)
{
    using namespace namoro;
    if (argc != 2) {
        std::fputs("usage: game-tables OUT.json\n", stderr);
        return 2;
    }
    const runtime::VirtualClock clock;
    auto game = logic::Game::create(assets::form1Layout(), clock, std::make_unique<runtime::MersenneRandom>());
    if (!game) {
        std::fprintf(stderr, "game-tables: %s\n", game.error().c_str());
        return 1;
    }
    runtime::JsonWriter json = window::writeWindow(game.value()->form(), runtime::JsonWriter().open('{').key("window"));
    json.key("items").open('[');
    for (const logic::Item& item : logic::kItems) {
        json.open('{').key("number").number(item.number).key("picture").string(item.picture);
        json.key("timer").string(item.timer).key("value").number(item.scoreValue).close('}');
    }
    json.close(']').key("ranks").open('[');
    for (const logic::Rank& rank : logic::kRanks)
        json.open('{').key("threshold").number(rank.threshold).key("caption").string(rank.caption).close('}');
    std::ofstream out(argv[1], std::ios::binary);
    out << json.close(']').close('}').take() << '\n';
    if (!out.flush()) {
        std::fprintf(stderr, "game-tables: cannot write %s\n", argv[1]);
        return 1;
    }
}
