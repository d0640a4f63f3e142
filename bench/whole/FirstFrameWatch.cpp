#include "FirstFrameWatch.h"

#include <cstdlib>
#include <poll.h>
#include <stdexcept>
#include <string_view>
#include <xcb/damage.h>
#include <xcb/xcb.h>

namespace namoro::bench {
namespace {

template <class T>
struct FreeReply {
    T* reply;
    ~FreeReply() { std::free(reply); }
};

} // namespace

FirstFrameWatch::FirstFrameWatch(const std::string& display)
{
    connection_ = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(connection_))
        throw std::runtime_error("cannot connect to " + display);
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;

    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection_, &xcb_damage_id);
    if (!damage || !damage->present)
        throw std::runtime_error("the X server has no DAMAGE extension");
    damageEvent_ = damage->first_event + XCB_DAMAGE_NOTIFY;
    FreeReply<xcb_damage_query_version_reply_t> version{
        xcb_damage_query_version_reply(connection_, xcb_damage_query_version(connection_, 1, 1), nullptr)};

    // Every new top-level window is announced to us before it can be shown.
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
}

FirstFrameWatch::~FirstFrameWatch() { xcb_disconnect(connection_); }

bool FirstFrameWatch::captionIs(unsigned window, const std::string& caption)
{
    FreeReply<xcb_get_property_reply_t> name{xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 256), nullptr)};
    if (!name.reply)
        return false;
    const std::string_view text(static_cast<const char*>(xcb_get_property_value(name.reply)),
                                static_cast<std::size_t>(xcb_get_property_value_length(name.reply)));
    return text == caption;
}

std::optional<std::chrono::steady_clock::time_point> FirstFrameWatch::waitForFirstFrame(const std::string& caption,
                                                                                        std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        xcb_generic_event_t* event = xcb_poll_for_event(connection_);
        if (!event) {
            if (xcb_connection_has_error(connection_))
                return std::nullopt;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return std::nullopt;
            pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
            ::poll(&fd, 1, static_cast<int>(left.count()));
            continue;
        }
        const auto now = std::chrono::steady_clock::now();
        const unsigned type = event->response_type & 0x7F;
        if (type == XCB_CREATE_NOTIFY) {
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
            if (created->parent == root_) {
                xcb_damage_create(connection_, xcb_generate_id(connection_), created->window,
                                  XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
                xcb_flush(connection_);
            }
        } else if (type == damageEvent_) {
            const auto* damaged = reinterpret_cast<xcb_damage_notify_event_t*>(event);
            FreeReply<xcb_get_window_attributes_reply_t> attributes{xcb_get_window_attributes_reply(
                connection_, xcb_get_window_attributes(connection_, damaged->drawable), nullptr)};
            const bool shown = attributes.reply && attributes.reply->map_state == XCB_MAP_STATE_VIEWABLE;
            if (shown && captionIs(damaged->drawable, caption)) {
                std::free(event);
                return now;
            }
        }
        std::free(event);
    }
}

} // namespace namoro::bench
