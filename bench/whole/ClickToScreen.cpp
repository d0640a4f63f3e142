#include "ClickToScreen.h"

#include <cstdlib>
#include <poll.h>
#include <stdexcept>
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace namoro::bench {
namespace {

using Clock = std::chrono::steady_clock;

template <class T>
struct Reply {
    T* get;
    ~Reply() { std::free(get); }
};

// Far enough inside an item that the point stays on it while the item falls up to two more
// ticks (100 twips each) between the screenshot and the press.
constexpr int kFallMargin = 7;
// Presses below this line of the inner area could land on a text box and take the focus.
constexpr int kLowestPress = 512;

bool intersects(const xsession::Rect& a, int x, int y, int w, int h)
{
    return a.x < x + w && x < a.x + a.width && a.y < y + h && y < a.y + a.height;
}

} // namespace

ClickToScreen::ClickToScreen(const std::string& display, unsigned window, xsession::Rect inner,
                             xsession::Rect scoreText, const ItemFinder& finder)
    : window_(window), inner_(inner), scoreText_(scoreText), finder_(finder)
{
    connection_ = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(connection_))
        throw std::runtime_error("cannot connect to " + display);
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;

    const xcb_query_extension_reply_t* test = xcb_get_extension_data(connection_, &xcb_test_id);
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection_, &xcb_damage_id);
    if (!test || !test->present || !damage || !damage->present)
        throw std::runtime_error("the X server lacks XTEST or DAMAGE");
    damageEvent_ = damage->first_event + XCB_DAMAGE_NOTIFY;
    Reply<xcb_damage_query_version_reply_t> version{
        xcb_damage_query_version_reply(connection_, xcb_damage_query_version(connection_, 1, 1), nullptr)};
    xcb_damage_create(connection_, xcb_generate_id(connection_), window_, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);

    Reply<xcb_translate_coordinates_reply_t> origin{xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window_, root_, 0, 0), nullptr)};
    if (!origin.get)
        throw std::runtime_error("cannot find the game's window on the screen");
    originX_ = origin.get->dst_x;
    originY_ = origin.get->dst_y;
}

ClickToScreen::~ClickToScreen() { xcb_disconnect(connection_); }

xsession::Image ClickToScreen::grab(const xsession::Rect& r)
{
    Reply<xcb_get_image_reply_t> image{xcb_get_image_reply(
        connection_,
        xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, std::int16_t(r.x), std::int16_t(r.y),
                      std::uint16_t(r.width), std::uint16_t(r.height), ~0u),
        nullptr)};
    if (!image.get || image.get->depth != 24 || xcb_get_image_data_length(image.get) != r.width * r.height * 4)
        throw std::runtime_error("cannot read the game's window as 24-bit pixels");
    // Copied, as the reply is freed on return.
    return xsession::Image(QImage(xcb_get_image_data(image.get), r.width, r.height, QImage::Format_RGB32).copy());
}

void ClickToScreen::fake(int type, int detail, int x, int y)
{
    xcb_test_fake_input(connection_, std::uint8_t(type), std::uint8_t(detail), XCB_CURRENT_TIME, root_,
                        std::int16_t(originX_ + x), std::int16_t(originY_ + y), 0);
}

void ClickToScreen::click(int x, int y)
{
    fake(XCB_MOTION_NOTIFY, 0, x, y);
    fake(XCB_BUTTON_PRESS, 1);
    fake(XCB_BUTTON_RELEASE, 1);
    xcb_flush(connection_);
}

bool ClickToScreen::touchesScoreText(const void* event) const
{
    if ((static_cast<const xcb_generic_event_t*>(event)->response_type & 0x7F) != damageEvent_)
        return false;
    const auto* damaged = static_cast<const xcb_damage_notify_event_t*>(event);
    return intersects(scoreText_, damaged->area.x, damaged->area.y, damaged->area.width, damaged->area.height);
}

std::optional<std::chrono::duration<double, std::milli>> ClickToScreen::clickItem(std::chrono::milliseconds bound)
{
    const auto item = finder_.find(grab(inner_), random_);
    if (!item)
        return std::nullopt;
    const int x = inner_.x + item->x + item->width / 2;
    const int y = inner_.y + std::min(item->y + item->height / 2 + kFallMargin, kLowestPress);
    if (y - inner_.y - item->y < 2 * kFallMargin)
        return std::nullopt; // too low to click safely

    // What the score box shows now; older damage is no news.
    discardEvents(false);
    const xsession::Image before = grab(scoreText_);
    discardEvents(true);

    fake(XCB_MOTION_NOTIFY, 0, x, y);
    fake(XCB_BUTTON_PRESS, 1);
    xcb_flush(connection_);
    const auto pressed = Clock::now();
    fake(XCB_BUTTON_RELEASE, 1);
    xcb_flush(connection_);

    const auto deadline = pressed + bound;
    for (;;) {
        xcb_generic_event_t* event = xcb_poll_for_event(connection_);
        if (!event) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0 || xcb_connection_has_error(connection_))
                return std::nullopt;
            pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
            ::poll(&fd, 1, int(left.count()) + 1);
            continue;
        }
        const auto damaged = Clock::now();
        const bool relevant = touchesScoreText(event);
        std::free(event);
        if (!relevant)
            continue;
        // One connection keeps the server's order: events queued while the snapshot was
        // taken were sent before it, and all earlier ones before the last snapshot.
        const xsession::Rect box{0, 0, before.width(), before.height()};
        const bool changed = xsession::countDifferences(grab(scoreText_), before, box) > 0;
        const auto snapshot = Clock::now();
        const bool laterDamage = discardEvents(true);
        if (changed)
            return (laterDamage ? snapshot : damaged) - pressed; // if unsure which, the later bound
    }
}

bool ClickToScreen::discardEvents(bool queuedOnly)
{
    bool relevant = false;
    while (xcb_generic_event_t* event = queuedOnly ? xcb_poll_for_queued_event(connection_)
                                                   : xcb_poll_for_event(connection_)) {
        relevant = relevant || touchesScoreText(event);
        std::free(event);
    }
    return relevant;
}

} // namespace namoro::bench
