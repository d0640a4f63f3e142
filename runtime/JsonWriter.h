#pragma once

#include "NumberToText.h"
#include "Utf8.h"

#include <cmath>
#include <string>
#include <string_view>

namespace namoro::runtime {

// Writes JSON text: objects, arrays, strings, numbers and booleans; it puts the commas. Strings
// are UTF-8 and pass through, but for what JSON must escape; a byte that starts no well-formed
// sequence becomes U+FFFD, so the text is always UTF-8 whatever a string holds. Numbers read back
// exactly, and one that is not finite, which JSON cannot hold, is null.
class JsonWriter {
public:
    JsonWriter& open(char bracket) { return separate(bracket), first_ = true, *this; }
    JsonWriter& close(char bracket) { return text_ += bracket, first_ = false, *this; }
    JsonWriter& key(std::string_view name) { return string(name), text_ += ':', first_ = true, *this; }
    JsonWriter& number(double value) { return separate(std::isfinite(value) ? formatNumber(value) : "null"), *this; }
    JsonWriter& boolean(bool value) { return separate(value ? "true" : "false"), *this; }
    JsonWriter& null() { return separate("null"), *this; }
    JsonWriter& string(std::string_view value)
    {
        separate('"');
        for (std::size_t i = 0; i < value.size();) {
            const char c = value[i];
            if (static_cast<unsigned char>(c) >= 0x80) {
                const auto decoded = decodeUtf8(value, i);
                const std::size_t length = decoded ? decoded->second : 1;
                text_ += decoded ? value.substr(i, length) : std::string_view("\xEF\xBF\xBD");
                i += length;
                continue;
            }
            if (c == '"' || c == '\\')
                text_ += {'\\', c};
            else if (c < 0x20)
                text_ += {'\\', 'u', '0', '0', "0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 0xF]};
            else
                text_ += c;
            ++i;
        }
        text_ += '"';
        return *this;
    }

    std::string take() { return std::move(text_); }

private:
    template <class Text>
    void separate(const Text& text)
    {
        if (!first_)
            text_ += ',';
        first_ = false;
        text_ += text;
    }

    std::string text_;
    bool first_ = true;
};

} // namespace namoro::runtime
