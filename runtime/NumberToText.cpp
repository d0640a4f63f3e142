#include "NumberToText.h"

#include <array>
#include <charconv>
#include <cmath>

namespace namoro::runtime {

std::string formatNumber(double value)
{
    if (value == 0.0)
        return "0";
    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : (value > 0 ? "Infinity" : "-Infinity");

    const double magnitude = std::fabs(value);
    const bool fixed = magnitude >= 1e-5 && magnitude < 1e15;
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      fixed ? std::chars_format::fixed : std::chars_format::scientific);
    std::string text(buffer.data(), result.ptr);
    if (!fixed) {
        if (const auto e = text.find('e'); e != std::string::npos)
            text[e] = 'E';
    }
    return text;
}

} // namespace namoro::runtime
