#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace namoro::runtime {

// The code point that a well-formed UTF-8 sequence at `text[i]` encodes, and its length; nothing
// for an overlong form, a surrogate, a value beyond U+10FFFF, a stray or a truncated sequence.
inline std::optional<std::pair<char32_t, std::size_t>> decodeUtf8(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned lead = byte(i);
    if (lead < 0x80)
        return std::pair{char32_t(lead), std::size_t{1}};
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF; // the second byte's range; it excludes the forbidden forms
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return std::nullopt;
    }
    if (text.size() - i < length)
        return std::nullopt;
    char32_t cp = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned next = byte(i + k);
        if (next < low || next > high)
            return std::nullopt;
        cp = (cp << 6) | (next & 0x3Fu);
        low = 0x80;
        high = 0xBF;
    }
    return std::pair{cp, length};
}

// Appends a code point of the Basic Multilingual Plane, surrogates excluded, as UTF-8.
inline void appendUtf8(std::string& out, char16_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace namoro::runtime
