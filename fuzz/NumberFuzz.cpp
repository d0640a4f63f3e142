// The strict and lenient conversions on any bytes, and the formatting of any finite double.

#include "FuzzCheck.h"

#include "runtime/NumberToText.h"
#include "runtime/TextToNumber.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

using namespace namoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto strict = runtime::strictNumber(text);
    const double lenient = runtime::lenientNumber(text);
    if (strict)
        fuzz::check(*strict == lenient, "a text that is one number reads the same both ways");

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
