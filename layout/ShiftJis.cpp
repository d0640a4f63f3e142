#include "ShiftJis.h"

#include "CodePage932Table.h"

#include "runtime/Utf8.h"

#include <algorithm>

namespace namoro::window {
namespace {

std::optional<std::uint16_t> characterOf(std::uint16_t code)
{
    const auto table = codePage932Table();
    const auto it = std::lower_bound(table.begin(), table.end(), code,
                                     [](const CodePage932Entry& e, std::uint16_t c) { return e.code < c; });
    if (it == table.end() || it->code != code)
        return std::nullopt;
    return it->unicode;
}

// The code the code page writes a character as: of its codes, the one that is not another form.
std::optional<std::uint16_t> standardCodeOf(char32_t unicode)
{
    const auto others = codePage932OtherForms();
    for (const CodePage932Entry& e : codePage932Table()) {
        if (e.unicode == unicode && !std::binary_search(others.begin(), others.end(), e.code))
            return e.code;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> utf8ToShiftJis(std::string_view utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto decoded = runtime::decodeUtf8(utf8, i);
        if (!decoded)
            return std::nullopt;
        const auto code = standardCodeOf(decoded->first);
        if (!code)
            return std::nullopt;
        if (*code > 0xFF)
            out += static_cast<char>(*code >> 8);
        out += static_cast<char>(*code & 0xFF);
        i += decoded->second;
    }
    return out;
}

std::optional<std::vector<ShiftJisCharacter>> splitShiftJis(std::string_view shiftJis)
{
    std::vector<ShiftJisCharacter> out;
    for (std::size_t i = 0; i < shiftJis.size();) {
        const auto lead = static_cast<unsigned char>(shiftJis[i]);
        std::size_t length = 1;
        auto unicode = characterOf(lead);
        if (!unicode && i + 1 < shiftJis.size()) {
            length = 2;
            unicode = characterOf(static_cast<std::uint16_t>(lead << 8 | static_cast<unsigned char>(shiftJis[i + 1])));
        }
        if (!unicode)
            return std::nullopt;
        std::string utf8;
        runtime::appendUtf8(utf8, static_cast<char16_t>(*unicode));
        const auto code = static_cast<std::uint16_t>(length == 1 ? lead : lead << 8 | static_cast<unsigned char>(shiftJis[i + 1]));
        const auto others = codePage932OtherForms();
        out.push_back({shiftJis.substr(i, length), std::move(utf8), !std::binary_search(others.begin(), others.end(), code)});
        i += length;
    }
    return out;
}

std::optional<std::string> shiftJisToUtf8(std::string_view shiftJis)
{
    const auto characters = splitShiftJis(shiftJis);
    if (!characters)
        return std::nullopt;
    std::string out;
    for (const auto& c : *characters)
        out += c.utf8;
    return out;
}

} // namespace namoro::window
