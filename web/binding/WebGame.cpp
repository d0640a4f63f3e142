// The model's face to the web page: one run of the game behind a plain C interface that the
// page's JavaScript calls. It holds no rule of the game; it builds the same Game the desktop
// program builds, hands it the player's input and tells the page what it shows.

#include "WebGame.h"

#include "assets/EmbeddedLayout.h"
#include "logic/Game.h"
#include "runtime/JsonWriter.h"
#include "runtime/RuntimeError.h"
#include "forms/HitTest.h"
#include "face/PlayerTexts.h"
#include "face/WindowJson.h"

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

} // namespace

// One run of the game for the page, and what it has said since the page last looked.
struct NamoroGame final : window::FormListener {
    NamoroGame()
    {
        auto created = logic::Game::create(assets::form1Layout(), clock, std::make_unique<runtime::MersenneRandom>());
        if (!created) {
            errorRaised(runtime::RuntimeError(runtime::ErrorNumber::InvalidFileFormat, created.error()));
            ended(1);
            return;
        }
        game = std::move(created).value();
        const window::Form& form = game->form();
        layout = window::writeWindow(form).take(); // the window as stored: what the page builds once
        // The page has seen nothing yet: its first view holds every picture, box and caption.
        for (const auto& picture : form.pictures())
            movedFrom.push_back(place(picture->rect()));
        newText.assign(form.textBoxes().size(), true);
        newCaption.assign(form.labels().size(), true);
        form.listen(*this);
    }
    ~NamoroGame() override
    {
        if (game)
            game->form().stopListening(*this);
    }

    using Place = std::pair<int, int>;
    static Place place(const window::Rect& r) { return {window::twipsToPixels(r.left), window::twipsToPixels(r.top)}; }

    // Where the page last saw a picture is kept until it looks again; texts are read when it looks.
    void pictureMoved(std::size_t i, const window::Rect& before, const window::Rect&) override
    {
        if (!movedFrom[i])
            movedFrom[i] = place(before);
    }
    void textChanged(std::size_t i, const std::string&) override { newText[i] = true; }
    void captionChanged(std::size_t i, const std::string&) override { newCaption[i] = true; }
    void gameOver() override { over = true; }
    void errorRaised(const runtime::RuntimeError& error) override { errorText = window::texts::errorText(error.code(), error.what()); }
    void ended(int ended) override { status = ended; }

    // What changed since the last view: the pictures that moved, from where to where; the new
    // text of each box and caption that changed, null for the others; and the end.
    const std::string& takeView()
    {
        JsonWriter json;
        json.open('{').key("moved").open('[');
        for (std::size_t i = 0; i < movedFrom.size(); ++i) {
            const Place now = place(game->form().pictures()[i]->rect());
            if (const auto before = std::exchange(movedFrom[i], std::nullopt); before && (*before != now || !seen)) {
                json.open('{').key("picture").number(static_cast<double>(i)).key("before").open('[').number(before->first);
                json.number(before->second).close(']').key("after").open('[').number(now.first).number(now.second).close(']').close('}');
            }
        }
        json.close(']').key("texts").open('[');
        for (std::size_t i = 0; i < newText.size(); ++i)
            newText[i] ? json.string(game->form().textBoxes()[i]->text()) : json.null();
        json.close(']').key("captions").open('[');
        for (std::size_t i = 0; i < newCaption.size(); ++i)
            newCaption[i] ? json.string(game->form().labels()[i]->caption()) : json.null();
        newText.assign(newText.size(), false);
        newCaption.assign(newCaption.size(), false);
        json.close(']').key("gameOver").boolean(std::exchange(over, false)).key("status").number(status).key("error");
        if (errorText)
            json.open('{').key("title").string(window::texts::kErrorTitle).key("text").string(*errorText).close('}');
        else
            json.null();
        seen = true;
        view = json.close('}').take();
        return view;
    }

    PageClock clock;
    std::unique_ptr<logic::Game> game;
    std::string layout = "null";
    std::string view;
    std::vector<std::optional<Place>> movedFrom; // by picture: where the page last saw it, if it moved since
    std::vector<bool> newText, newCaption; // by box and by caption: changed since the page looked
    bool seen = false, over = false;
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
    const auto* pictures = gameOf(g) ? &g->game->form().pictures() : nullptr;
    return pictures && i >= 0 && std::size_t(i) < pictures->size() ? (*pictures)[std::size_t(i)]->picture().argb.data() : nullptr;
}

EMSCRIPTEN_KEEPALIVE void namoro_start(NamoroGame* g)
{
    if (logic::Game* game = gameOf(g))
        game->start();
}

EMSCRIPTEN_KEEPALIVE const char* namoro_view(NamoroGame* g) { return g ? g->takeView().c_str() : "null"; }

EMSCRIPTEN_KEEPALIVE double namoro_next_due(NamoroGame* g)
{
    const auto due = gameOf(g) ? g->game->nextDue() : std::nullopt;
    return due ? static_cast<double>(due->count()) / 1000.0 : -1;
}

EMSCRIPTEN_KEEPALIVE void namoro_run_due(NamoroGame* g)
{
    if (logic::Game* game = gameOf(g))
        game->runDue();
}

EMSCRIPTEN_KEEPALIVE void namoro_click(NamoroGame* g, int x, int y)
{
    if (logic::Game* game = gameOf(g))
        game->click(x, y);
}

// A negative place wraps to one far beyond the form's, which the game refuses.
EMSCRIPTEN_KEEPALIVE void namoro_choose(NamoroGame* g, int entry)
{
    if (logic::Game* game = gameOf(g))
        game->choose(static_cast<std::size_t>(entry));
}

EMSCRIPTEN_KEEPALIVE void namoro_type(NamoroGame* g, int box, const char* utf8, std::size_t length)
{
    if (logic::Game* game = gameOf(g))
        game->type(static_cast<std::size_t>(box), utf8 ? std::string(utf8, length) : std::string());
}

} // extern "C"
