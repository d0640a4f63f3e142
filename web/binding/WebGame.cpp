// The model's face to the web page: one run of the game behind a plain C interface that the
// page's JavaScript calls. It holds no rule of the game; it builds the same Game the desktop
// program builds, hands it the player's input and tells the page what it shows.

#include "WebGame.h"

#include "assets/EmbeddedLayout.h"
#include "logic/Game.h"
#include "runtime/JsonWriter.h"
#include "runtime/RuntimeError.h"
#include "window/HitTest.h"
#include "window/PlayerTexts.h"
#include "window/WindowJson.h"

#include <memory>
#include <optional>
#include <string>

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#else
#define EMSCRIPTEN_KEEPALIVE // natively the interface is only checked, never served
#endif

namespace {

using namespace namoro;
using runtime::JsonWriter;

#ifdef __EMSCRIPTEN__
// performance.now(), in microseconds: the clock the page arms its one timer on.
class PageClock final : public runtime::Clock {
public:
    runtime::Micros now() const override { return runtime::Micros(static_cast<long long>(emscripten_get_now() * 1000.0)); }
};
#else
using PageClock = runtime::SteadyClock;
#endif

template <class T>
T* at(const std::vector<std::unique_ptr<T>>& controls, int i)
{
    return i >= 0 && static_cast<std::size_t>(i) < controls.size() ? controls[static_cast<std::size_t>(i)].get() : nullptr;
}

// The window as stored: everything the page builds once.
std::string layoutJson(const window::Form& form) { return window::writeWindow(form).take(); }

} // namespace

// One run of the game for the page, and what it has shown since the page last looked.
struct NamoroGame final : window::FormObserver {
    NamoroGame()
    {
        auto created = logic::Game::create(assets::form1Layout(), clock, std::make_unique<runtime::MersenneRandom>());
        if (!created) {
            report(runtime::RuntimeError(runtime::ErrorNumber::InvalidFileFormat, created.error()));
            return;
        }
        game = std::move(created).value();
        game->dispatcher().setErrorReport([this](const runtime::RuntimeError& error) { report(error); });
        game->dispatcher().setEndRequest([this](int ended) { status = ended; });
        game->form().setObserver(this);
        layout = layoutJson(game->form());
    }
    ~NamoroGame() override
    {
        if (game)
            game->form().setObserver(nullptr);
    }

    void pictureMoved(const window::PictureControl&, const window::Rect&) override { moved = true; }
    void textWritten(const window::TextBox&) override { textsChanged = true; }
    void captionWritten(const window::Label&) override { captionChanged = true; }
    void gameOver() override { over = true; }

    void report(const runtime::RuntimeError& error)
    {
        errorText = window::texts::errorText(error.code(), error.what());
        status = 1;
    }

    // The moving state, and what changed since the last view.
    const std::string& takeView()
    {
        JsonWriter json;
        json.open('{').key("moved").boolean(std::exchange(moved, false));
        json.key("textsChanged").boolean(std::exchange(textsChanged, false));
        json.key("captionChanged").boolean(std::exchange(captionChanged, false)).key("places").open('[');
        const window::Form* form = game ? &game->form() : nullptr; // none when the layout could not be read
        for (std::size_t i = 0; form && i < form->pictures().size(); ++i) {
            json.open('{').key("left").number(window::twipsToPixels(form->pictures()[i]->left()));
            json.key("top").number(window::twipsToPixels(form->pictures()[i]->top())).close('}');
        }
        json.close(']').key("texts").open('[');
        for (std::size_t i = 0; form && i < form->textBoxes().size(); ++i)
            json.string(form->textBoxes()[i]->text());
        json.close(']').key("captions").open('[');
        for (std::size_t i = 0; form && i < form->labels().size(); ++i)
            json.string(form->labels()[i]->caption());
        json.close(']').key("gameOver").boolean(std::exchange(over, false)).key("status").number(status).key("error");
        if (errorText)
            json.open('{').key("title").string(window::texts::kErrorTitle).key("text").string(*errorText).close('}');
        else
            json.null();
        view = json.close('}').take();
        return view;
    }

    PageClock clock;
    std::unique_ptr<logic::Game> game;
    std::string layout = "null";
    std::string view;
    bool moved = false, textsChanged = false, captionChanged = false, over = false;
    int status = -1; // running
    std::optional<std::string> errorText;
};

namespace {

logic::Game* gameOf(NamoroGame* g) { return g ? g->game.get() : nullptr; }

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE NamoroGame* namoro_create() { return new NamoroGame(); }
EMSCRIPTEN_KEEPALIVE void namoro_destroy(NamoroGame* g) { delete g; }

EMSCRIPTEN_KEEPALIVE const char* namoro_layout(NamoroGame* g) { return g ? g->layout.c_str() : "null"; }

EMSCRIPTEN_KEEPALIVE const std::uint32_t* namoro_picture_pixels(NamoroGame* g, int i)
{
    const auto* picture = gameOf(g) ? at(g->game->form().pictures(), i) : nullptr;
    return picture ? picture->picture().argb.data() : nullptr;
}

EMSCRIPTEN_KEEPALIVE void namoro_start(NamoroGame* g)
{
    if (logic::Game* game = gameOf(g))
        game->start();
}

EMSCRIPTEN_KEEPALIVE const char* namoro_view(NamoroGame* g) { return g ? g->takeView().c_str() : "null"; }

EMSCRIPTEN_KEEPALIVE double namoro_next_due(NamoroGame* g)
{
    if (!gameOf(g) || g->status >= 0)
        return -1;
    const auto due = g->game->scheduler().nextDue();
    return due ? static_cast<double>(due->count()) / 1000.0 : -1;
}

EMSCRIPTEN_KEEPALIVE void namoro_run_due(NamoroGame* g)
{
    if (logic::Game* game = gameOf(g))
        game->scheduler().runDue();
}

EMSCRIPTEN_KEEPALIVE void namoro_click(NamoroGame* g, int x, int y)
{
    if (logic::Game* game = gameOf(g))
        game->click(x, y);
}

EMSCRIPTEN_KEEPALIVE void namoro_choose(NamoroGame* g, int entry)
{
    if (const window::MenuEntry* chosen = gameOf(g) ? at(g->game->form().menuEntries(), entry) : nullptr)
        g->game->choose(*chosen);
}

EMSCRIPTEN_KEEPALIVE void namoro_type(NamoroGame* g, int box, const char* utf8)
{
    if (window::TextBox* typed = gameOf(g) ? at(g->game->form().textBoxes(), box) : nullptr)
        g->game->type(*typed, utf8 ? utf8 : "");
}

} // extern "C"
