#include "LayoutReader.h"

#include "LayoutFormat.h"
#include "ShiftJis.h"

#include <cstdio>
#include <cstring>

namespace namoro::window {
namespace {

namespace fmt = format;

struct ReadFailure {
    LayoutError error;
};

std::string hex(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// Reads little-endian fields within [position, limit); every read names its field.
class StreamReader {
public:
    explicit StreamReader(std::span<const std::uint8_t> bytes) : bytes_(bytes), limit_(bytes.size()) {}

    std::size_t position() const { return position_; }
    std::size_t limit() const { return limit_; }
    void setLimit(std::size_t limit) { limit_ = limit; }

    [[noreturn]] void fail(const std::string& field, const std::string& problem, std::size_t at) const
    {
        throw ReadFailure{LayoutError{field, at, problem}};
    }
    [[noreturn]] void fail(const std::string& field, const std::string& problem) const
    {
        fail(field, problem, position_);
    }

    const std::uint8_t* take(const std::string& field, std::size_t n)
    {
        if (limit_ - position_ < n) {
            fail(field, "needs " + std::to_string(n) + " bytes, " + std::to_string(limit_ - position_) +
                            (limit_ == bytes_.size() ? " left in the stream" : " left in its record"));
        }
        const std::uint8_t* p = bytes_.data() + position_;
        position_ += n;
        return p;
    }

    // An integer of T's width; a signed one is stored in two's complement.
    template <class T>
    T number(const std::string& field)
    {
        const std::uint8_t* p = take(field, sizeof(T));
        std::uint32_t v = 0;
        for (std::size_t i = sizeof(T); i-- > 0;)
            v = (v << 8) | p[i];
        return static_cast<T>(v);
    }
    std::uint8_t u8(const std::string& field) { return number<std::uint8_t>(field); }
    std::uint32_t u32(const std::string& field) { return number<std::uint32_t>(field); }

    void expect(const std::string& field, std::uint8_t wanted)
    {
        const std::size_t at = position_;
        const std::uint8_t got = u8(field);
        if (got != wanted)
            fail(field, "is " + hex(got) + ", expected " + hex(wanted), at);
    }

    std::string shiftJis(const std::string& field, std::size_t n)
    {
        const std::size_t at = position_;
        const auto* p = reinterpret_cast<const char*>(take(field, n));
        const std::string_view text(p, n);
        if (!shiftJisToUtf8(text))
            fail(field, "is not code page 932 text", at);
        return std::string(text);
    }

    // A 16-bit length, the text and a NUL.
    std::string text(const std::string& field)
    {
        const auto length = number<std::uint16_t>(field + ".length");
        std::string value = shiftJis(field, length);
        expect(field + ".terminator", 0);
        return value;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    std::size_t limit_;
};

template <class T>
void readValue(StreamReader& in, const std::string& field, fmt::Number, T& value)
{
    value = in.number<T>(field);
}

void readValue(StreamReader& in, const std::string& field, fmt::Text, std::string& value)
{
    value = in.text(field);
}

template <class B>
void readValue(StreamReader& in, const std::string& field, fmt::Box, B& box)
{
    fmt::forEachSide(box, [&](const char* side, auto& v) {
        v = in.number<std::remove_reference_t<decltype(v)>>(field + '.' + side);
    });
}

void readValue(StreamReader& in, const std::string& field, fmt::Font, FontRecord& font)
{
    fmt::forEachFontNumber(font, [&](std::string_view name, auto& v) {
        const std::size_t at = in.position();
        v = in.number<std::remove_reference_t<decltype(v)>>(field + '.' + std::string(name));
        if (name == "version" && v != fmt::kFontVersion)
            in.fail(field + ".version", "is " + std::to_string(v) + ", expected 1", at);
    });
    const std::uint8_t length = in.u8(field + ".name-length");
    font.name = in.shiftJis(field + ".name", length);
}

void readValue(StreamReader& in, const std::string& field, fmt::Picture, std::vector<std::uint8_t>& gif)
{
    const std::size_t countAt = in.position();
    const std::uint32_t count = in.u32(field + ".size");
    if (count <= fmt::kPictureHeaderSize)
        in.fail(field + ".size", "is " + std::to_string(count) + ", no GIF after its 8-byte header", countAt);
    if (count > in.limit() - in.position())
        in.fail(field + ".size", "is " + std::to_string(count) + ", past the end of its record", countAt);
    const std::size_t tagAt = in.position();
    if (std::memcmp(in.take(field + ".tag", 4), fmt::kPictureTag, 4) != 0)
        in.fail(field + ".tag", "is not \"lt\" and two zero bytes", tagAt);
    const std::size_t lengthAt = in.position();
    const std::uint32_t length = in.u32(field + ".gif-length");
    if (length != count - fmt::kPictureHeaderSize)
        in.fail(field + ".gif-length",
                "is " + std::to_string(length) + ", expected " + std::to_string(count - fmt::kPictureHeaderSize),
                lengthAt);
    const std::uint8_t* data = in.take(field + ".gif", length);
    gif.assign(data, data + length);
}

// Properties follow as code bytes with values until the end byte, each at most once and in
// ascending code order, the one order the description can write back.
template <class Record>
void readProperties(StreamReader& in, const std::string& owner, Record& record)
{
    int previous = -1;
    for (;;) {
        const std::size_t at = in.position();
        const std::uint8_t code = in.u8(owner + ".property-code");
        if (code == fmt::kEndOfRecord)
            return;
        if (code <= previous) {
            in.fail(owner + ".property-code",
                    "property code " + hex(code) +
                        (code == previous ? " stored twice" : " after " + hex(unsigned(previous)) + ", out of order"),
                    at);
        }
        previous = code;
        bool known = false;
        fmt::forEachProperty<Record>([&](const auto& p) {
            if (p.code == code) {
                readValue(in, owner + '.' + std::string(p.name), p.kind, (record.*p.member).emplace());
                known = true;
            }
        });
        if (!known)
            in.fail(owner + ".property-code", "unknown property code " + hex(code), at);
    }
}

WindowRecord readWindow(StreamReader& in)
{
    in.expect("window.index", 0);
    WindowRecord w;
    w.name = in.text("window.name");
    const std::size_t kindAt = in.position();
    if (const auto kind = in.u8(w.name + ".kind"); kind != static_cast<std::uint8_t>(ElementKind::Window))
        in.fail(w.name + ".kind", "is " + std::to_string(kind) + ", expected 13 (window)", kindAt);
    readProperties(in, w.name, w);
    return w;
}

enum class Slot { Control, Menu, Command };

// Marker grammar: 0x01 before the first element and 0x03 before each further control;
// 0x02 0x05 opens a menu on the bar, and inside it 0x02 stands before each command.
Slot readMarker(StreamReader& in, const std::string& field, bool first, bool insideMenu)
{
    const std::size_t at = in.position();
    const std::uint8_t marker = in.u8(field);
    if (first && marker == fmt::kFirstElement)
        return Slot::Control;
    if (!first && !insideMenu && marker == fmt::kNextControl)
        return Slot::Control;
    if (marker == fmt::kMenuEntry) {
        if (insideMenu)
            return Slot::Command;
        in.expect(field, fmt::kOpensMenu);
        return Slot::Menu;
    }
    in.fail(field, "is " + hex(marker) + ", not a marker that may stand here", at);
}

ElementRecord readElement(StreamReader& in, std::uint8_t expectedIndex, Slot slot)
{
    const std::string where = "element " + std::to_string(expectedIndex);
    const std::size_t start = in.position();
    const std::uint32_t length = in.u32(where + ".length");
    constexpr std::uint32_t kSmallest = 4 + 1 + 2 + 1 + 1 + 1;
    if (length < kSmallest || length > in.limit() - start)
        in.fail(where + ".length", "is " + std::to_string(length) + ", outside 10 to " +
                                       std::to_string(in.limit() - start) + " bytes", start);
    const std::size_t end = start + length;
    const std::size_t outerLimit = in.limit();
    in.setLimit(end);

    const std::size_t indexAt = in.position();
    ElementRecord element;
    element.index = in.u8(where + ".index");
    if (element.index != expectedIndex)
        in.fail(where + ".index", "is " + std::to_string(element.index), indexAt);
    element.name = in.text(where + ".name");
    const std::string& n = element.name;

    const std::size_t kindAt = in.position();
    const auto kind = static_cast<ElementKind>(in.u8(n + ".kind"));
    if ((kind == ElementKind::MenuEntry) != (slot != Slot::Control))
        in.fail(n + ".kind", "does not match the marker before the record", kindAt);
    bool known = false;
    fmt::forEachElementKind([&]<class Record>(std::type_identity<Record>) {
        if (fmt::kRecord<Record>.kind == kind) {
            Record& body = element.body.emplace<Record>();
            readProperties(in, n, body);
            known = true;
        }
    });
    if (!known)
        in.fail(n + ".kind", "is " + std::to_string(static_cast<int>(kind)) + ", not an element kind", kindAt);
    if (auto* menu = std::get_if<MenuRecord>(&element.body))
        menu->topLevel = slot == Slot::Menu;
    if (in.position() != end)
        in.fail(n + ".length", "record ends at offset " + std::to_string(in.position()) + ", its length says " +
                                   std::to_string(end), start);
    in.setLimit(outerLimit);
    return element;
}

LayoutDescription read(StreamReader& in, std::size_t streamSize)
{
    const std::uint32_t length = in.u32("stream-length");
    if (length != streamSize)
        in.fail("stream-length", "is " + std::to_string(length) + ", the stream has " + std::to_string(streamSize) +
                                     " bytes", 0);
    LayoutDescription layout;
    const std::size_t versionAt = in.position();
    layout.version = in.u32("layout-version");
    if (layout.version != kLayoutVersion)
        in.fail("layout-version", "is " + std::to_string(layout.version) + ", expected 65", versionAt);
    layout.window = readWindow(in);

    constexpr std::size_t kClosingSize = sizeof fmt::kClosing;
    bool insideMenu = false;
    while (in.position() + kClosingSize != streamSize) {
        if (in.position() >= streamSize)
            in.fail("closing", "needs 3 bytes, 0 left");
        const auto index = static_cast<std::uint8_t>(layout.elements.size() + 1);
        const std::string marker = "element " + std::to_string(index) + ".marker";
        if (layout.elements.size() == 255)
            in.fail(marker, "more than 255 elements");
        const Slot slot = readMarker(in, marker, layout.elements.empty(), insideMenu);
        insideMenu = insideMenu || slot == Slot::Menu;
        layout.elements.push_back(readElement(in, index, slot));
    }
    for (std::size_t i = 0; i < kClosingSize; ++i)
        in.expect("closing", fmt::kClosing[i]);
    return layout;
}

} // namespace

LayoutResult<LayoutDescription> readLayout(std::span<const std::uint8_t> stream)
{
    StreamReader in(stream);
    try {
        return read(in, stream.size());
    } catch (const ReadFailure& failure) {
        return runtime::Unexpected{failure.error};
    }
}

} // namespace namoro::window
