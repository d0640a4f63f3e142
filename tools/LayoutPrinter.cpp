#include "LayoutText.h"

#include "layout/LayoutFormat.h"
#include "layout/ShiftJis.h"

#include <algorithm>
#include <iomanip>
#include <sstream>

namespace namoro::tools {
namespace {

using namespace window;
namespace fmt = window::format;

// A stored text as a quoted word: each character as itself, control characters, the quote and
// the backslash escaped, and a code the page writes back as another code as its bytes.
std::string quoted(const std::string& shiftJis)
{
    const auto characters = splitShiftJis(shiftJis);
    if (!characters)
        return '"' + escapeBytes(shiftJis) + '"';
    std::string out = "\"";
    for (const auto& c : *characters) {
        const auto byte = static_cast<unsigned char>(c.utf8.front());
        if (c.utf8 == "\"" || c.utf8 == "\\")
            out += '\\' + c.utf8;
        else if (!c.standard || (c.utf8.size() == 1 && (byte < 0x20 || byte == 0x7F)))
            out += escapeBytes(c.bytes);
        else
            out += c.utf8;
    }
    return out + '"';
}

// A name as a bare word where it can stand as one, else quoted.
std::string nameWord(const std::string& shiftJis)
{
    const auto characters = splitShiftJis(shiftJis);
    const bool bare = characters && !characters->empty() &&
                      std::none_of(characters->begin(), characters->end(), [](const ShiftJisCharacter& c) {
                          const auto byte = static_cast<unsigned char>(c.utf8.front());
                          return !c.standard || byte <= 0x20 || byte == 0x7F || byte == '"' || byte == '#' || byte == '\\';
                      });
    if (!bare)
        return quoted(shiftJis);
    std::string out;
    for (const auto& c : *characters)
        out += c.utf8;
    return out;
}

template <class T>
std::string show(fmt::Number, T value)
{
    return std::to_string(value);
}

std::string show(fmt::Colour, std::uint32_t value)
{
    std::ostringstream out;
    out << "0x" << std::hex << std::uppercase << std::setw(8) << std::setfill('0') << value;
    return out.str();
}

std::string show(fmt::Text, const std::string& value)
{
    return quoted(value);
}

template <class B>
std::string show(fmt::Box, const B& box)
{
    std::string out;
    fmt::forEachSide(box, [&](const char*, auto v) { out += (out.empty() ? "" : " ") + std::to_string(v); });
    return out;
}

std::string show(fmt::Font, const FontRecord& font)
{
    std::string out;
    fmt::forEachFontNumber(font, [&](const char*, auto v) { out += std::to_string(v) + ' '; });
    return out + quoted(font.name);
}

void printProperty(std::ostream& out, std::string_view name, auto kind, const auto& value)
{
    out << "    " << name << ' ' << show(kind, value) << '\n';
}

// A picture prints as its bytes, so the printed text compiles back without its files.
void printProperty(std::ostream& out, std::string_view, fmt::Picture, const std::vector<std::uint8_t>& gif)
{
    out << "    # GIF, " << gif.size() << " bytes\n";
    constexpr std::size_t kPerLine = 48;
    for (std::size_t i = 0; i < gif.size(); i += kPerLine) {
        out << "    gif-hex ";
        for (std::size_t j = i; j < std::min(i + kPerLine, gif.size()); ++j)
            out << std::hex << std::uppercase << std::setw(2) << std::setfill('0') << int(gif[j]);
        out << std::dec << '\n';
    }
}

template <class Record>
void printProperties(std::ostream& out, const Record& record)
{
    fmt::forEachProperty<Record>([&](const auto& p) {
        if (const auto& value = record.*p.member)
            printProperty(out, p.name, p.kind, *value);
    });
    out << "end\n";
}

} // namespace

std::string escapeBytes(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
    }
    return out;
}

std::string readableShiftJis(std::string_view shiftJis)
{
    std::string out;
    for (std::size_t i = 0; i < shiftJis.size();) {
        std::size_t length = 1;
        auto character = shiftJisToUtf8(shiftJis.substr(i, 1));
        if (!character && i + 1 < shiftJis.size())
            character = shiftJisToUtf8(shiftJis.substr(i, length = 2));
        const auto byte = static_cast<unsigned char>(shiftJis[i]);
        if (!character || byte < 0x20 || byte == 0x7F)
            out += escapeBytes(shiftJis.substr(i, length = 1));
        else
            out += *character;
        i += length;
    }
    return out;
}

std::string printLayoutText(const LayoutDescription& layout)
{
    std::ostringstream out;
    out << "layout-version " << layout.version << "\n\n" << fmt::kRecord<WindowRecord>.word << ' '
        << nameWord(layout.window.name) << '\n';
    printProperties(out, layout.window);
    for (const ElementRecord& e : layout.elements) {
        std::visit(
            [&]<class Record>(const Record& body) {
                std::string_view word = fmt::kRecord<Record>.word;
                if constexpr (std::is_same_v<Record, MenuRecord>)
                    word = body.topLevel ? "menu" : "command";
                out << '\n' << word << ' ' << int(e.index) << ' ' << nameWord(e.name) << '\n';
                printProperties(out, body);
            },
            e.body);
    }
    return out.str();
}

} // namespace namoro::tools
