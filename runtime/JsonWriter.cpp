#include "JsonWriter.h"

#include "NumberToText.h"

#include <cmath>

namespace namoro::runtime {

void JsonWriter::separate()
{
    if (!first_)
        text_ += ',';
    first_ = false;
}

JsonWriter& JsonWriter::open(char bracket)
{
    separate();
    text_ += bracket;
    first_ = true;
    return *this;
}

JsonWriter& JsonWriter::close(char bracket)
{
    text_ += bracket;
    first_ = false;
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    string(name);
    text_ += ':';
    first_ = true;
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view value)
{
    separate();
    text_ += '"';
    for (const char c : value) {
        if (c == '"' || c == '\\') {
            text_ += '\\';
            text_ += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            text_ += "\\u00";
            text_ += "0123456789abcdef"[c >> 4];
            text_ += "0123456789abcdef"[c & 0xF];
        } else {
            text_ += c;
        }
    }
    text_ += '"';
    return *this;
}

JsonWriter& JsonWriter::number(double value)
{
    separate();
    text_ += std::isfinite(value) ? formatNumber(value) : "null";
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value)
{
    separate();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null()
{
    separate();
    text_ += "null";
    return *this;
}

} // namespace namoro::runtime
