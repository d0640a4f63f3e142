#include "LayoutWriter.h"

#include "layout/LayoutFormat.h"
#include "layout/ShiftJis.h"

#include <limits>
#include <optional>

namespace namoro::tools {
namespace {

using namespace window;
namespace fmt = window::format;

class StreamWriter {
public:
    std::vector<std::uint8_t> bytes;
    std::optional<LayoutError> error;

    std::size_t size() const { return bytes.size(); }
    template <class T>
    void number(T v)
    {
        for (std::size_t i = 0; i < sizeof(T); ++i)
            bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
    }
    void u8(std::uint8_t v) { bytes.push_back(v); }
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
        number(static_cast<std::uint16_t>(shiftJis.size()));
        raw(shiftJis.data(), shiftJis.size());
        u8(0);
    }
};

template <class T>
void writeValue(StreamWriter& out, const std::string&, fmt::Number, T value)
{
    out.number(value);
}

void writeValue(StreamWriter& out, const std::string& field, fmt::Text, const std::string& value)
{
    out.text(field, value);
}

template <class B>
void writeValue(StreamWriter& out, const std::string&, fmt::Box, const B& box)
{
    fmt::forEachSide(box, [&](const char*, auto v) { out.number(v); });
}

void writeValue(StreamWriter& out, const std::string& field, fmt::Font, const FontRecord& f)
{
    if (f.version != fmt::kFontVersion)
        out.fail(field + ".version", "is " + std::to_string(f.version) + ", expected 1");
    fmt::forEachFontNumber(f, [&](const char*, auto v) { out.number(v); });
    if (!shiftJisToUtf8(f.name) || f.name.size() > 255)
        return out.fail(field + ".name", "font name is not code page 932 text of at most 255 bytes");
    out.u8(static_cast<std::uint8_t>(f.name.size()));
    out.raw(f.name.data(), f.name.size());
}

void writeValue(StreamWriter& out, const std::string& field, fmt::Picture, const std::vector<std::uint8_t>& gif)
{
    if (gif.empty())
        out.fail(field, "is empty; a picture control without a picture stores none");
    out.number(static_cast<std::uint32_t>(gif.size() + fmt::kPictureHeaderSize));
    out.raw(fmt::kPictureTag, sizeof fmt::kPictureTag);
    out.number(static_cast<std::uint32_t>(gif.size()));
    out.raw(gif.data(), gif.size());
}

template <class Record>
void writeProperties(StreamWriter& out, const std::string& owner, const Record& record)
{
    fmt::forEachProperty<Record>([&](const auto& p) {
        if (const auto& value = record.*p.member) {
            out.u8(p.code);
            writeValue(out, owner + '.' + std::string(p.name), p.kind, *value);
        }
    });
    out.u8(fmt::kEndOfRecord);
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

LayoutResult<std::vector<std::uint8_t>> writeLayout(const LayoutDescription& layout)
{
    StreamWriter out;
    out.number(std::uint32_t{0}); // the stream length, patched at the end
    if (layout.version != kLayoutVersion)
        out.fail("layout-version", "is " + std::to_string(layout.version) + ", expected 65");
    out.number(layout.version);
    out.u8(0);
    out.text(layout.window.name + ".name", layout.window.name);
    out.u8(static_cast<std::uint8_t>(ElementKind::Window));
    writeProperties(out, layout.window.name, layout.window);

    bool menuOpen = false;
    for (std::size_t i = 0; i < layout.elements.size(); ++i) {
        const ElementRecord& element = layout.elements[i];
        writeMarker(out, element, i == 0, menuOpen);
        if (element.index != i + 1)
            out.fail(element.name + ".index", "is " + std::to_string(element.index) + ", its place is " + std::to_string(i + 1));
        const std::size_t start = out.size();
        out.number(std::uint32_t{0}); // the record length, patched below
        out.u8(element.index);
        out.text(element.name + ".name", element.name);
        std::visit(
            [&]<class Record>(const Record& body) {
                out.u8(static_cast<std::uint8_t>(fmt::kRecord<Record>.kind));
                writeProperties(out, element.name, body);
            },
            element.body);
        out.patchU32(start, static_cast<std::uint32_t>(out.size() - start));
    }
    out.raw(fmt::kClosing, sizeof fmt::kClosing);
    out.patchU32(0, static_cast<std::uint32_t>(out.size()));

    if (out.error)
        return runtime::Unexpected{*out.error};
    return std::move(out.bytes);
}

} // namespace namoro::tools
