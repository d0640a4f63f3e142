#include "LayoutReader.h"

#include "LayoutFormat.h"
#include "ShiftJis.h"

#include <charconv>
#include <cstring>

namespace namoro::window {
namespace {

namespace fmt = format;

struct ReadFailure {
    LayoutError error;
};

std::string hex(unsigned value)
{
    char digits[8];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
    std::string out = "0x";
    for (const char* c = digits; c != end; ++c)
        out += static_cast<char>(*c >= 'a' ? *c - 'a' + 'A' : *c);
    return out;
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

    std::uint8_t peek(const std::string& field)
    {
        if (position_ >= limit_)
            fail(field, "needs 1 byte, 0 left");
        return bytes_[position_];
    }

    std::uint32_t unsignedValue(const std::string& field, int n)
    {
        const std::uint8_t* p = take(field, static_cast<std::size_t>(n));
        std::uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i)
            v = (v << 8) | p[i];
        return v;
    }
    std::uint8_t u8(const std::string& field) { return static_cast<std::uint8_t>(unsignedValue(field, 1)); }
    std::uint16_t u16(const std::string& field) { return static_cast<std::uint16_t>(unsignedValue(field, 2)); }
    std::uint32_t u32(const std::string& field) { return unsignedValue(field, 4); }
    std::int16_t i16(const std::string& field) { return static_cast<std::int16_t>(u16(field)); }
    std::int32_t i32(const std::string& field) { return static_cast<std::int32_t>(u32(field)); }

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
        const std::uint16_t length = u16(field + ".length");
        std::string value = shiftJis(field, length);
        expect(field + ".terminator", 0);
        return value;
    }

    TwipRect rect(const std::string& field)
    {
        TwipRect r;
        r.left = i16(field + ".left");
        r.top = i16(field + ".top");
        r.width = i16(field + ".width");
        r.height = i16(field + ".height");
        return r;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    std::size_t limit_;
};

// Properties follow as code bytes with values until the end byte, each at most once and in
// ascending code order, the one order the description can write back.
template <class ReadOne>
void readProperties(StreamReader& in, const std::string& owner, ReadOne readOne)
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
        if (!readOne(code))
            in.fail(owner + ".property-code", "unknown property code " + hex(code), at);
    }
}

WindowRecord readWindow(StreamReader& in)
{
    namespace c = fmt::window;
    in.expect("window.index", 0);
    WindowRecord w;
    w.name = in.text("window.name");
    const std::string& n = w.name;
    const std::size_t kindAt = in.position();
    if (const auto kind = in.u8(n + ".kind"); kind != static_cast<std::uint8_t>(ElementKind::Window))
        in.fail(n + ".kind", "is " + std::to_string(kind) + ", expected 13 (window)", kindAt);
    readProperties(in, n, [&](std::uint8_t code) {
        switch (code) {
        case c::kCaption: w.caption = in.text(n + ".caption"); return true;
        case c::kBackColour: w.backColour = in.u32(n + ".back-colour"); return true;
        case c::kUnreadText: w.unreadText = in.text(n + ".unread-text"); return true;
        case c::kUnreadValue: w.unreadValue = in.i32(n + ".unread-value"); return true;
        case c::kUnreadName: w.unreadName = in.text(n + ".unread-name"); return true;
        case c::kInnerArea: {
            ScreenArea a;
            a.left = in.i32(n + ".inner-area.left");
            a.top = in.i32(n + ".inner-area.top");
            a.width = in.i32(n + ".inner-area.width");
            a.height = in.i32(n + ".inner-area.height");
            w.innerArea = a;
            return true;
        }
        default: return false;
        }
    });
    return w;
}

TimerRecord readTimer(StreamReader& in, const std::string& n)
{
    namespace c = fmt::timer;
    TimerRecord t;
    readProperties(in, n, [&](std::uint8_t code) {
        switch (code) {
        case c::kInterval: t.interval = in.i32(n + ".interval"); return true;
        case c::kLayoutX: t.layoutX = in.i32(n + ".layout-x"); return true;
        case c::kLayoutY: t.layoutY = in.i32(n + ".layout-y"); return true;
        default: return false;
        }
    });
    return t;
}

TextBoxRecord readTextBox(StreamReader& in, const std::string& n)
{
    namespace c = fmt::textbox;
    TextBoxRecord t;
    readProperties(in, n, [&](std::uint8_t code) {
        switch (code) {
        case c::kRect: t.rect = in.rect(n + ".rect"); return true;
        case c::kTabIndex: t.tabIndex = in.i16(n + ".tab-index"); return true;
        default: return false;
        }
    });
    return t;
}

std::vector<std::uint8_t> readPictureData(StreamReader& in, const std::string& n)
{
    const std::size_t countAt = in.position();
    const std::uint32_t count = in.u32(n + ".picture.size");
    if (count <= fmt::kPictureHeaderSize)
        in.fail(n + ".picture.size", "is " + std::to_string(count) + ", no GIF after its 8-byte header", countAt);
    if (count > in.limit() - in.position())
        in.fail(n + ".picture.size", "is " + std::to_string(count) + ", past the end of its record", countAt);
    const std::size_t tagAt = in.position();
    if (std::memcmp(in.take(n + ".picture.tag", 4), fmt::kPictureTag, 4) != 0)
        in.fail(n + ".picture.tag", "is not \"lt\" and two zero bytes", tagAt);
    const std::size_t lengthAt = in.position();
    const std::uint32_t length = in.u32(n + ".picture.gif-length");
    if (length != count - fmt::kPictureHeaderSize)
        in.fail(n + ".picture.gif-length",
                "is " + std::to_string(length) + ", expected " + std::to_string(count - fmt::kPictureHeaderSize),
                lengthAt);
    const std::uint8_t* data = in.take(n + ".picture.gif", length);
    return {data, data + length};
}

PictureRecord readPicture(StreamReader& in, const std::string& n)
{
    namespace c = fmt::picture;
    PictureRecord p;
    readProperties(in, n, [&](std::uint8_t code) {
        switch (code) {
        case c::kPicture: p.gif = readPictureData(in, n); return true;
        case c::kRect: p.rect = in.rect(n + ".rect"); return true;
        default: return false;
        }
    });
    return p;
}

FontRecord readFont(StreamReader& in, const std::string& n)
{
    FontRecord f;
    const std::size_t versionAt = in.position();
    f.version = in.u8(n + ".font.version");
    if (f.version != 1)
        in.fail(n + ".font.version", "is " + std::to_string(f.version) + ", expected 1", versionAt);
    f.charset = in.u16(n + ".font.charset");
    f.flags = in.u8(n + ".font.flags");
    f.weight = in.u16(n + ".font.weight");
    f.size = in.u32(n + ".font.size");
    const std::uint8_t length = in.u8(n + ".font.name-length");
    f.name = in.shiftJis(n + ".font.name", length);
    return f;
}

LabelRecord readLabel(StreamReader& in, const std::string& n)
{
    namespace c = fmt::label;
    LabelRecord l;
    readProperties(in, n, [&](std::uint8_t code) {
        switch (code) {
        case c::kBackColour: l.backColour = in.u32(n + ".back-colour"); return true;
        case c::kForeColour: l.foreColour = in.u32(n + ".fore-colour"); return true;
        case c::kRect: l.rect = in.rect(n + ".rect"); return true;
        case c::kTabIndex: l.tabIndex = in.i16(n + ".tab-index"); return true;
        case c::kAlignment: l.alignment = in.u8(n + ".alignment"); return true;
        case c::kFont: l.font = readFont(in, n); return true;
        default: return false;
        }
    });
    return l;
}

MenuRecord readMenu(StreamReader& in, const std::string& n, bool topLevel)
{
    namespace c = fmt::menu;
    MenuRecord m;
    m.topLevel = topLevel;
    readProperties(in, n, [&](std::uint8_t code) {
        switch (code) {
        case c::kCaption: m.caption = in.text(n + ".caption"); return true;
        case c::kUnreadFlag: m.unreadFlag = in.u8(n + ".unread-flag"); return true;
        default: return false;
        }
    });
    return m;
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
    const bool menuKind = kind == ElementKind::MenuEntry;
    if (menuKind != (slot != Slot::Control))
        in.fail(n + ".kind", "does not match the marker before the record", kindAt);
    switch (kind) {
    case ElementKind::Timer: element.body = readTimer(in, n); break;
    case ElementKind::TextBox: element.body = readTextBox(in, n); break;
    case ElementKind::Picture: element.body = readPicture(in, n); break;
    case ElementKind::Label: element.body = readLabel(in, n); break;
    case ElementKind::MenuEntry: element.body = readMenu(in, n, slot == Slot::Menu); break;
    default: in.fail(n + ".kind", "is " + std::to_string(static_cast<int>(kind)) + ", not an element kind", kindAt);
    }
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
