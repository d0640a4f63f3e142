#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace namoro::window {

// The window's stored description as plain values: what the stream holds, field for field.
// Texts are code page 932 here as in the stream, byte for byte, so that a code the page has
// twice (the NEC and IBM duplicates) writes back as it was read; the form builder reads them
// into UTF-8. Properties a record may leave out are
// optional; the form builder gives them their kind's standard value.

inline constexpr std::uint32_t kLayoutVersion = 65;

enum class ElementKind : std::uint8_t {
    Label = 1,
    TextBox = 2,
    Timer = 11,
    Window = 13,
    MenuEntry = 19,
    Picture = 24,
};

template <class T>
struct StoredBox {
    T left = 0;
    T top = 0;
    T width = 0;
    T height = 0;
    bool operator==(const StoredBox&) const = default;
};
using TwipRect = StoredBox<std::int16_t>;
using ScreenArea = StoredBox<std::int32_t>;

struct WindowRecord {
    std::string name;
    std::optional<std::string> caption;
    std::optional<std::uint32_t> backColour;   // 0x00BBGGRR
    std::optional<std::string> unreadText;     // kept but never read by the game
    std::optional<std::int32_t> unreadValue;
    std::optional<std::string> unreadName;
    std::optional<ScreenArea> innerArea;       // placement on the screen and inner size
    bool operator==(const WindowRecord&) const = default;
};

struct TimerRecord {
    std::optional<std::int32_t> interval;      // milliseconds
    std::optional<std::int32_t> layoutX;       // where the designer showed it; no run-time effect
    std::optional<std::int32_t> layoutY;
    bool operator==(const TimerRecord&) const = default;
};

struct TextBoxRecord {
    std::optional<TwipRect> rect;
    std::optional<std::int16_t> tabIndex;
    bool operator==(const TextBoxRecord&) const = default;
};

struct PictureRecord {
    std::optional<std::vector<std::uint8_t>> gif;
    std::optional<TwipRect> rect;
    bool operator==(const PictureRecord&) const = default;
};

struct FontRecord {
    std::uint8_t version = 1;
    std::uint16_t charset = 0;
    std::uint8_t flags = 0;                    // italic, underline, strike-through bits
    std::uint16_t weight = 400;
    std::uint32_t size = 0;                    // ten-thousandths of a point
    std::string name;
    bool operator==(const FontRecord&) const = default;
};

struct LabelRecord {
    std::optional<std::uint32_t> backColour;
    std::optional<std::uint32_t> foreColour;
    std::optional<TwipRect> rect;
    std::optional<std::int16_t> tabIndex;
    std::optional<std::uint8_t> alignment;     // 0 left, 1 right, 2 centre
    std::optional<FontRecord> font;
    bool operator==(const LabelRecord&) const = default;
};

struct MenuRecord {
    bool topLevel = false;                     // a menu on the bar, or a command under the last one
    std::optional<std::string> caption;
    std::optional<std::uint8_t> unreadFlag;
    bool operator==(const MenuRecord&) const = default;
};

using ElementBody = std::variant<TimerRecord, TextBoxRecord, PictureRecord, LabelRecord, MenuRecord>;

struct ElementRecord {
    std::uint8_t index = 0;
    std::string name;
    ElementBody body;
    bool operator==(const ElementRecord&) const = default;
};

struct LayoutDescription {
    std::uint32_t version = kLayoutVersion;
    WindowRecord window;
    std::vector<ElementRecord> elements;       // in creation order
    bool operator==(const LayoutDescription&) const = default;
};

} // namespace namoro::window
