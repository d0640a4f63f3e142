#include "LayoutWriter.h"

#include "LayoutFormat.h"
#include "ShiftJis.h"

#include <limits>
#include <optional>

namespace namoro::window {
namespace {

namespace fmt = format;

class StreamWriter {
public:
    std::vector<std::uint8_t> bytes;
    std::optional<LayoutError> error;

    std::size_t size() const { return bytes.size(); }
    void u8(std::uint8_t v) { bytes.push_back(v); }
    void u16(std::uint16_t v) { putLittleEndian(v, 2); }
    void u32(std::uint32_t v) { putLittleEndian(v, 4); }
    void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void raw(const void* data, std::size_t n)
    {
        const auto* p = static_cast<const std::uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + n);
    }
    void patchU32(std::size_t at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }

    void fail(const std::string& field, const std::string& problem)
    {
        if (!error)
            error = LayoutError{field, bytes.size(), problem};
    }

    // A 16-bit length, the code page 932 text and a NUL.
    void text(const std::string& field, const std::string& shiftJis)
    {
        if (!shiftJisToUtf8(shiftJis))
            return fail(field, "is not code page 932 text");
        if (shiftJis.size() > std::numeric_limits<std::uint16_t>::max())
            return fail(field, "text longer than 65535 bytes");
        u16(static_cast<std::uint16_t>(shiftJis.size()));
        raw(shiftJis.data(), shiftJis.size());
        u8(0);
    }

    void rect(const TwipRect& r)
    {
        i16(r.left);
        i16(r.top);
        i16(r.width);
        i16(r.height);
    }

private:
    void putLittleEndian(std::uint32_t v, int n)
    {
        for (int i = 0; i < n; ++i)
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
};

template <class T, class Put>
void property(StreamWriter& out, std::uint8_t code, const std::optional<T>& value, Put put)
{
    if (!value)
        return;
    out.u8(code);
    put(*value);
}

void writeWindow(StreamWriter& out, const WindowRecord& w)
{
    namespace c = fmt::window;
    out.u8(0);
    out.text(w.name + ".name", w.name);
    out.u8(static_cast<std::uint8_t>(ElementKind::Window));
    property(out, c::kCaption, w.caption, [&](const auto& v) { out.text(w.name + ".caption", v); });
    property(out, c::kBackColour, w.backColour, [&](auto v) { out.u32(v); });
    property(out, c::kUnreadText, w.unreadText, [&](const auto& v) { out.text(w.name + ".unread-text", v); });
    property(out, c::kUnreadValue, w.unreadValue, [&](auto v) { out.i32(v); });
    property(out, c::kUnreadName, w.unreadName, [&](const auto& v) { out.text(w.name + ".unread-name", v); });
    property(out, c::kInnerArea, w.innerArea, [&](const ScreenArea& a) {
        out.i32(a.left);
        out.i32(a.top);
        out.i32(a.width);
        out.i32(a.height);
    });
    out.u8(fmt::kEndOfRecord);
}

void writeBody(StreamWriter& out, const std::string& /*name*/, const TimerRecord& t)
{
    namespace c = fmt::timer;
    property(out, c::kInterval, t.interval, [&](auto v) { out.i32(v); });
    property(out, c::kLayoutX, t.layoutX, [&](auto v) { out.i32(v); });
    property(out, c::kLayoutY, t.layoutY, [&](auto v) { out.i32(v); });
}

void writeBody(StreamWriter& out, const std::string& /*name*/, const TextBoxRecord& t)
{
    namespace c = fmt::textbox;
    property(out, c::kRect, t.rect, [&](const auto& r) { out.rect(r); });
    property(out, c::kTabIndex, t.tabIndex, [&](auto v) { out.i16(v); });
}

void writeBody(StreamWriter& out, const std::string& name, const PictureRecord& p)
{
    namespace c = fmt::picture;
    property(out, c::kPicture, p.gif, [&](const std::vector<std::uint8_t>& gif) {
        if (gif.empty())
            out.fail(name + ".picture", "is empty; a picture control without a picture stores none");
        out.u32(static_cast<std::uint32_t>(gif.size() + fmt::kPictureHeaderSize));
        out.raw(fmt::kPictureTag, sizeof fmt::kPictureTag);
        out.u32(static_cast<std::uint32_t>(gif.size()));
        out.raw(gif.data(), gif.size());
    });
    property(out, c::kRect, p.rect, [&](const auto& r) { out.rect(r); });
}

void writeBody(StreamWriter& out, const std::string& name, const LabelRecord& l)
{
    namespace c = fmt::label;
    property(out, c::kBackColour, l.backColour, [&](auto v) { out.u32(v); });
    property(out, c::kForeColour, l.foreColour, [&](auto v) { out.u32(v); });
    property(out, c::kRect, l.rect, [&](const auto& r) { out.rect(r); });
    property(out, c::kTabIndex, l.tabIndex, [&](auto v) { out.i16(v); });
    property(out, c::kAlignment, l.alignment, [&](auto v) { out.u8(v); });
    property(out, c::kFont, l.font, [&](const FontRecord& f) {
        if (f.version != 1)
            out.fail(name + ".font.version", "is " + std::to_string(f.version) + ", expected 1");
        out.u8(f.version);
        out.u16(f.charset);
        out.u8(f.flags);
        out.u16(f.weight);
        out.u32(f.size);
        if (!shiftJisToUtf8(f.name) || f.name.size() > 255)
            return out.fail(name + ".font.name", "font name is not code page 932 text of at most 255 bytes");
        out.u8(static_cast<std::uint8_t>(f.name.size()));
        out.raw(f.name.data(), f.name.size());
    });
}

void writeBody(StreamWriter& out, const std::string& name, const MenuRecord& m)
{
    namespace c = fmt::menu;
    property(out, c::kCaption, m.caption, [&](const auto& v) { out.text(name + ".caption", v); });
    property(out, c::kUnreadFlag, m.unreadFlag, [&](auto v) { out.u8(v); });
}

// The marker grammar holds the controls first, then one menu on the bar with its commands.
void writeMarker(StreamWriter& out, const ElementRecord& element, bool first, bool& menuOpen)
{
    const std::string field = element.name + ".marker";
    if (const auto* menu = std::get_if<MenuRecord>(&element.body)) {
        if (menu->topLevel && menuOpen)
            out.fail(field, "a second menu on the bar; the stream holds one menu");
        if (!menu->topLevel && !menuOpen)
            out.fail(field, "a command before any menu");
        menuOpen = true;
        out.u8(fmt::kMenuEntry);
        if (menu->topLevel)
            out.u8(fmt::kOpensMenu);
    } else {
        if (menuOpen)
            out.fail(field, "a control after the menu; controls stand before it");
        out.u8(first ? fmt::kFirstElement : fmt::kNextControl);
    }
}

} // namespace

ElementKind kindOf(const ElementBody& body)
{
    static constexpr ElementKind kinds[] = {ElementKind::Timer, ElementKind::TextBox, ElementKind::Picture,
                                            ElementKind::Label, ElementKind::MenuEntry};
    return kinds[body.index()];
}

LayoutResult<std::vector<std::uint8_t>> writeLayout(const LayoutDescription& layout)
{
    StreamWriter out;
    out.u32(0); // the stream length, patched at the end
    if (layout.version != kLayoutVersion)
        out.fail("layout-version", "is " + std::to_string(layout.version) + ", expected 65");
    out.u32(layout.version);
    writeWindow(out, layout.window);

    bool menuOpen = false;
    for (std::size_t i = 0; i < layout.elements.size(); ++i) {
        const ElementRecord& element = layout.elements[i];
        writeMarker(out, element, i == 0, menuOpen);
        if (element.index != i + 1)
            out.fail(element.name + ".index", "is " + std::to_string(element.index) + ", its place is " + std::to_string(i + 1));
        const std::size_t start = out.size();
        out.u32(0); // the record length, patched below
        out.u8(element.index);
        out.text(element.name + ".name", element.name);
        out.u8(static_cast<std::uint8_t>(kindOf(element.body)));
        std::visit([&](const auto& body) { writeBody(out, element.name, body); }, element.body);
        out.u8(fmt::kEndOfRecord);
        out.patchU32(start, static_cast<std::uint32_t>(out.size() - start));
    }
    out.raw(fmt::kClosing, sizeof fmt::kClosing);
    out.patchU32(0, static_cast<std::uint32_t>(out.size()));

    if (out.error)
        return runtime::Unexpected{*out.error};
    return std::move(out.bytes);
}

} // namespace namoro::window
