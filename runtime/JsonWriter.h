#pragma once

#include <string>
#include <string_view>

namespace namoro::runtime {

// Writes JSON text: objects, arrays, strings, numbers and booleans; it puts the commas. Strings
// are UTF-8 and pass through, but for what JSON must escape; numbers read back exactly, and one
// that is not finite, which JSON cannot hold, is null.
class JsonWriter {
public:
    JsonWriter& open(char bracket);
    JsonWriter& close(char bracket);
    JsonWriter& key(std::string_view name);
    JsonWriter& string(std::string_view value);
    JsonWriter& number(double value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();

    std::string take() { return std::move(text_); }

private:
    void separate();

    std::string text_;
    bool first_ = true;
};

} // namespace namoro::runtime
