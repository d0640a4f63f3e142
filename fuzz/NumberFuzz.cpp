// The strict and lenient conversions on any bytes, and the formatting of any finite double.

#include "FuzzCheck.h"

#include "runtime/NumberToText.h"
#include "runtime/TextToNumber.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <string>
#include <string_view>

using namespace namoro;

namespace {

// glibc's own UTF-8 decoder, which refuses overlong forms, surrogates and cut sequences.
bool wellFormedUtf8(std::string_view text)
{
    static const iconv_t decoder = iconv_open("UTF-32LE", "UTF-8");
    iconv(decoder, nullptr, nullptr, nullptr, nullptr);
    std::string in(text), out(text.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    return iconv(decoder, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto strict = runtime::strictNumber(text);
    const double lenient = runtime::lenientNumber(text);
    if (strict) {
        fuzz::check(*strict == lenient, "a text that is one number reads the same both ways");
        fuzz::check(wellFormedUtf8(text), "a number is well-formed UTF-8");
    }

    // The first eight bytes as a double: its formatted text reads back exactly.
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value)) {
            const std::string formatted = runtime::formatNumber(value);
            fuzz::check(runtime::strictNumber(formatted) == value, "a formatted double reads back exactly");
            fuzz::check(runtime::lenientNumber(formatted) == value, "a formatted double reads back leniently");
        }
    }
    return 0;
}
