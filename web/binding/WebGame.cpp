// The model's face to the web page: one run of the game behind a plain C interface that the
// page's JavaScript calls. It holds no rule of the game; it builds the same Game the desktop
// program builds, runs its events and tells the page what changed.

#include "assets/EmbeddedLayout.h"
#include "logic/Game.h"
#include "runtime/RuntimeError.h"
#include "window/HitTest.h"

#include <emscripten/emscripten.h>
#include <memory>
#include <string>

namespace {

using namespace namoro;

// performance.now(), in microseconds: the clock the page arms its one timer on.
class PageClock final : public runtime::Clock {
public:
    runtime::Micros now() const override { return runtime::Micros(static_cast<long long>(emscripten_get_now() * 1000.0)); }
};

enum Change { PicturesMoved = 1, TextsWritten = 2, CaptionWritten = 4, Ended = 8 };

class WebGame final : public window::FormObserver {
public:
    WebGame()
    {
        auto created = logic::Game::create(assets::form1Layout(), clock_, std::make_unique<runtime::MersenneRandom>());
        if (!created) {
            report(runtime::RuntimeError(runtime::ErrorNumber::InvalidFileFormat, created.error()));
            return;
        }
        game_ = std::move(created).value();
        auto& dispatcher = game_->dispatcher();
        dispatcher.setErrorReport([this](const runtime::RuntimeError& error) { report(error); });
        dispatcher.setEndRequest([this](int status) {
            status_ = status;
            changes_ |= Ended;
        });
        game_->form().setObserver(this);
    }
    ~WebGame() override
    {
        if (game_)
            game_->form().setObserver(nullptr);
    }

    logic::Game* game() { return game_.get(); }
    int status() const { return status_; }
    int errorNumber() const { return errorNumber_; }
    const std::string& errorMessage() const { return errorMessage_; }
    int takeChanges() { return std::exchange(changes_, 0); }

    void pictureMoved(const window::PictureControl&, const window::Rect&) override { changes_ |= PicturesMoved; }
    void textWritten(const window::TextBox&) override { changes_ |= TextsWritten; }
    void captionWritten(const window::Label&) override { changes_ |= CaptionWritten; }

private:
    void report(const runtime::RuntimeError& error)
    {
        errorNumber_ = error.code();
        errorMessage_ = error.what();
        status_ = 1;
        changes_ |= Ended;
    }

    PageClock clock_;
    std::unique_ptr<logic::Game> game_;
    int changes_ = 0;
    int status_ = -1; // running
    int errorNumber_ = 0;
    std::string errorMessage_;
};

const window::Form* formOf(WebGame* w) { return w && w->game() ? &w->game()->form() : nullptr; }

template <class T>
const T* at(const std::vector<std::unique_ptr<T>>& controls, int i)
{
    return i >= 0 && static_cast<std::size_t>(i) < controls.size() ? controls[static_cast<std::size_t>(i)].get() : nullptr;
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE WebGame* namoro_create() { return new WebGame(); }
EMSCRIPTEN_KEEPALIVE void namoro_destroy(WebGame* w) { delete w; }

// Raises Load; afterwards the page asks for the state and what changed.
EMSCRIPTEN_KEEPALIVE void namoro_start(WebGame* w)
{
    if (w->game())
        w->game()->start();
}

// The scheduler's next due instant on performance.now()'s scale in milliseconds; -1 for none.
EMSCRIPTEN_KEEPALIVE double namoro_next_due(WebGame* w)
{
    if (!w->game() || w->status() >= 0)
        return -1;
    const auto due = w->game()->scheduler().nextDue();
    return due ? static_cast<double>(due->count()) / 1000.0 : -1;
}

EMSCRIPTEN_KEEPALIVE void namoro_run_due(WebGame* w)
{
    if (w->game())
        w->game()->scheduler().runDue();
}

// A press at the logical pixel (x, y) of the inner area.
EMSCRIPTEN_KEEPALIVE void namoro_click(WebGame* w, int x, int y)
{
    if (const window::Form* form = formOf(w)) {
        if (window::PictureControl* picture = window::pictureAt(*form, x, y))
            w->game()->dispatcher().dispatch(picture->onClick);
    }
}

EMSCRIPTEN_KEEPALIVE void namoro_menu(WebGame* w, int entry)
{
    if (const window::Form* form = formOf(w)) {
        if (const auto* menu = at(form->menuEntries(), entry))
            w->game()->dispatcher().dispatch(menu->onClick);
    }
}

// The player typed: the box's whole new text.
EMSCRIPTEN_KEEPALIVE void namoro_type(WebGame* w, int box, const char* utf8)
{
    if (const window::Form* form = formOf(w)) {
        if (auto* model = const_cast<window::TextBox*>(at(form->textBoxes(), box)))
            w->game()->dispatcher().dispatch([model, typed = std::string(utf8)] { model->setText(typed); });
    }
}

EMSCRIPTEN_KEEPALIVE int namoro_take_changes(WebGame* w) { return w->takeChanges(); }
EMSCRIPTEN_KEEPALIVE int namoro_status(WebGame* w) { return w->status(); }
EMSCRIPTEN_KEEPALIVE int namoro_error_number(WebGame* w) { return w->errorNumber(); }
EMSCRIPTEN_KEEPALIVE const char* namoro_error_message(WebGame* w) { return w->errorMessage().c_str(); }

// The window.
EMSCRIPTEN_KEEPALIVE const char* namoro_form_caption(WebGame* w) { return formOf(w) ? formOf(w)->caption().c_str() : ""; }
EMSCRIPTEN_KEEPALIVE unsigned namoro_form_colour(WebGame* w) { return formOf(w) ? formOf(w)->backColour() : 0; }
EMSCRIPTEN_KEEPALIVE int namoro_form_width(WebGame* w) { return formOf(w) ? window::twipsToPixels(formOf(w)->settings().innerWidth) : 0; }
EMSCRIPTEN_KEEPALIVE int namoro_form_height(WebGame* w) { return formOf(w) ? window::twipsToPixels(formOf(w)->settings().innerHeight) : 0; }

// Menu entries in order: a menu on the bar, then its commands.
EMSCRIPTEN_KEEPALIVE int namoro_menu_count(WebGame* w) { return formOf(w) ? static_cast<int>(formOf(w)->menuEntries().size()) : 0; }
EMSCRIPTEN_KEEPALIVE const char* namoro_menu_caption(WebGame* w, int i) { return at(formOf(w)->menuEntries(), i)->caption().c_str(); }
EMSCRIPTEN_KEEPALIVE int namoro_menu_top_level(WebGame* w, int i) { return at(formOf(w)->menuEntries(), i)->topLevel(); }

// Pictures in stacking order, bottom first; their place in logical pixels.
EMSCRIPTEN_KEEPALIVE int namoro_picture_count(WebGame* w) { return formOf(w) ? static_cast<int>(formOf(w)->pictures().size()) : 0; }
EMSCRIPTEN_KEEPALIVE const char* namoro_picture_name(WebGame* w, int i) { return at(formOf(w)->pictures(), i)->name().c_str(); }
EMSCRIPTEN_KEEPALIVE int namoro_picture_left(WebGame* w, int i) { return window::twipsToPixels(at(formOf(w)->pictures(), i)->left()); }
EMSCRIPTEN_KEEPALIVE int namoro_picture_top(WebGame* w, int i) { return window::twipsToPixels(at(formOf(w)->pictures(), i)->top()); }
EMSCRIPTEN_KEEPALIVE int namoro_picture_width(WebGame* w, int i) { return at(formOf(w)->pictures(), i)->picture().width; }
EMSCRIPTEN_KEEPALIVE int namoro_picture_height(WebGame* w, int i) { return at(formOf(w)->pictures(), i)->picture().height; }
// The picture's pixels, 0xAARRGGBB each, row after row.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* namoro_picture_pixels(WebGame* w, int i) { return at(formOf(w)->pictures(), i)->picture().argb.data(); }

// Text boxes in element order.
EMSCRIPTEN_KEEPALIVE int namoro_box_count(WebGame* w) { return formOf(w) ? static_cast<int>(formOf(w)->textBoxes().size()) : 0; }
EMSCRIPTEN_KEEPALIVE const char* namoro_box_name(WebGame* w, int i) { return at(formOf(w)->textBoxes(), i)->name().c_str(); }
EMSCRIPTEN_KEEPALIVE const char* namoro_box_text(WebGame* w, int i) { return at(formOf(w)->textBoxes(), i)->text().c_str(); }
EMSCRIPTEN_KEEPALIVE int namoro_box_tab_index(WebGame* w, int i) { return at(formOf(w)->textBoxes(), i)->tabIndex(); }
// 0 left, 1 top, 2 width, 3 height in logical pixels.
EMSCRIPTEN_KEEPALIVE int namoro_box_rect(WebGame* w, int i, int side)
{
    const auto& r = at(formOf(w)->textBoxes(), i)->rect();
    const float sides[] = {r.left, r.top, r.width, r.height};
    return window::twipsToPixels(sides[side & 3]);
}

// The rank caption.
EMSCRIPTEN_KEEPALIVE int namoro_label_count(WebGame* w) { return formOf(w) ? static_cast<int>(formOf(w)->labels().size()) : 0; }
EMSCRIPTEN_KEEPALIVE const char* namoro_label_caption(WebGame* w, int i) { return at(formOf(w)->labels(), i)->caption().c_str(); }
EMSCRIPTEN_KEEPALIVE int namoro_label_rect(WebGame* w, int i, int side)
{
    const auto& r = at(formOf(w)->labels(), i)->rect();
    const float sides[] = {r.left, r.top, r.width, r.height};
    return window::twipsToPixels(sides[side & 3]);
}
EMSCRIPTEN_KEEPALIVE unsigned namoro_label_back_colour(WebGame* w, int i) { return at(formOf(w)->labels(), i)->style().backColour; }
EMSCRIPTEN_KEEPALIVE unsigned namoro_label_fore_colour(WebGame* w, int i) { return at(formOf(w)->labels(), i)->style().foreColour; }
// 0 left, 1 right, 2 centre.
EMSCRIPTEN_KEEPALIVE int namoro_label_alignment(WebGame* w, int i) { return static_cast<int>(at(formOf(w)->labels(), i)->style().alignment); }
EMSCRIPTEN_KEEPALIVE const char* namoro_label_font_family(WebGame* w, int i) { return at(formOf(w)->labels(), i)->style().font.family.c_str(); }
EMSCRIPTEN_KEEPALIVE double namoro_label_font_points(WebGame* w, int i) { return at(formOf(w)->labels(), i)->style().font.pointSize; }
EMSCRIPTEN_KEEPALIVE int namoro_label_font_weight(WebGame* w, int i) { return at(formOf(w)->labels(), i)->style().font.weight; }

} // extern "C"
