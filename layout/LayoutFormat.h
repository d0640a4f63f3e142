#pragma once

#include "LayoutDescription.h"

#include <cstdint>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

namespace namoro::window::format {

// The stored layout stream's markers and each record's properties, described once: the stream's
// reader and writer and the layout text's parser and printer all work from these tables.

inline constexpr std::uint8_t kEndOfRecord = 0xFF;
inline constexpr std::uint8_t kFirstElement = 0x01;
inline constexpr std::uint8_t kNextControl = 0x03;
inline constexpr std::uint8_t kMenuEntry = 0x02;
inline constexpr std::uint8_t kOpensMenu = 0x05;           // after kMenuEntry: a menu on the bar
inline constexpr std::uint8_t kClosing[] = {0x03, 0x03, 0x04};

inline constexpr char kPictureTag[] = {'l', 't', 0, 0};
inline constexpr std::uint32_t kPictureHeaderSize = 8;     // tag and GIF length

// How a property's value is stored and written as text.
struct Number {};            // little-endian, as wide as its type
struct Colour : Number {};   // a number the text writes as 0x00BBGGRR
struct Text {};              // a 16-bit length, the code page 932 bytes and a NUL
struct Box {};               // left, top, width and height, each a number
struct Font {};              // a font record of its own
struct Picture {};           // the picture header and a GIF; in the text, gif-hex lines or a file

// A property: its name in the text and in error fields, its code byte in the stream, and its
// place in the record. Records hold their properties in ascending code order.
template <class Record, class Value, class Kind>
struct Property {
    std::string_view name;
    std::uint8_t code;
    std::optional<Value> Record::*member;
    Kind kind{};
};

template <class Kind, class Record, class Value>
constexpr Property<Record, Value, Kind> property(std::string_view name, std::uint8_t code,
                                                 std::optional<Value> Record::*member)
{
    return {name, code, member};
}

// A record: its kind, its first word in the text, what the text's errors call it, and its
// properties in ascending code order.
template <class... P>
struct RecordFormat {
    ElementKind kind;
    std::string_view word;
    std::string_view noun;
    std::tuple<P...> properties;
};

template <class... P>
constexpr RecordFormat<P...> record(ElementKind kind, std::string_view word, std::string_view noun, P... properties)
{
    return {kind, word, noun, {properties...}};
}

// Each record type's format; only the records below have one.
template <class Record>
inline constexpr auto kRecord = nullptr;

template <> inline constexpr auto kRecord<WindowRecord> = record(ElementKind::Window, "window", "window",
    property<Text>("caption", 1, &WindowRecord::caption),
    property<Colour>("back-colour", 3, &WindowRecord::backColour),
    property<Text>("unread-text", 0x19, &WindowRecord::unreadText),
    property<Number>("unread-value", 0x23, &WindowRecord::unreadValue),
    property<Text>("unread-name", 0x24, &WindowRecord::unreadName),
    property<Box>("inner-area", 0x35, &WindowRecord::innerArea));

template <> inline constexpr auto kRecord<TimerRecord> = record(ElementKind::Timer, "timer", "timer",
    property<Number>("interval", 3, &TimerRecord::interval),
    property<Number>("layout-x", 7, &TimerRecord::layoutX),
    property<Number>("layout-y", 8, &TimerRecord::layoutY));

template <> inline constexpr auto kRecord<TextBoxRecord> = record(ElementKind::TextBox, "textbox", "text box",
    property<Box>("rect", 4, &TextBoxRecord::rect), property<Number>("tab-index", 0x12, &TextBoxRecord::tabIndex));

template <> inline constexpr auto kRecord<PictureRecord> = record(ElementKind::Picture, "picture", "picture",
    property<Picture>("picture", 2, &PictureRecord::gif),
    property<Box>("rect", 3, &PictureRecord::rect));

// A menu on the bar is a "menu" in the text, a command under it a "command".
template <> inline constexpr auto kRecord<MenuRecord> = record(ElementKind::MenuEntry, "menu", "menu",
    property<Text>("caption", 3, &MenuRecord::caption), property<Number>("unread-flag", 7, &MenuRecord::unreadFlag));

template <> inline constexpr auto kRecord<LabelRecord> = record(ElementKind::Label, "label", "label",
    property<Colour>("back-colour", 3, &LabelRecord::backColour), property<Colour>("fore-colour", 4, &LabelRecord::foreColour),
    property<Box>("rect", 5, &LabelRecord::rect),
    property<Number>("tab-index", 0x12, &LabelRecord::tabIndex),
    property<Number>("alignment", 0x14, &LabelRecord::alignment),
    property<Font>("font", 0x25, &LabelRecord::font));

template <class Record, class F>
void forEachProperty(F&& f)
{
    std::apply([&](const auto&... p) { (f(p), ...); }, kRecord<Record>.properties);
}

// Calls f with a std::type_identity of each element record type, in ElementBody's order.
template <class F>
void forEachElementKind(F&& f)
{
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (f(std::type_identity<std::variant_alternative_t<I, ElementBody>>{}), ...);
    }(std::make_index_sequence<std::variant_size_v<ElementBody>>{});
}

// The sides of a box and the numbers of a font record, in their stored order.
template <class B, class F>
void forEachSide(B& box, F&& f)
{
    f("left", box.left), f("top", box.top);
    f("width", box.width), f("height", box.height);
}

template <class R, class F>
void forEachFontNumber(R& font, F&& f)
{
    f("version", font.version);
    f("charset", font.charset);
    f("flags", font.flags);
    f("weight", font.weight);
    f("size", font.size);
}

inline constexpr std::uint8_t kFontVersion = 1;

} // namespace namoro::window::format
