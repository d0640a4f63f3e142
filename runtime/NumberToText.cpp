#include "NumberToText.h"

#include <cmath>
#include <cstdlib>
#include <fmt/compile.h>
#include <fmt/format.h>
#include <iterator>

namespace namoro::runtime {
namespace {

// fmt's shortest round-trip text ("1.5e+20", "0.001", "123") as its significant digits and
// the power of ten of the first one. fmt is used on every build: not every C++ library has
// floating-point to_chars.
struct ShortestDigits {
    std::string digits;
    int exponent = 0; // value = 0.d1d2... x 10^(exponent + 1)
};

ShortestDigits shortestDigits(double magnitude)
{
    std::string text;
    fmt::format_to(std::back_inserter(text), FMT_COMPILE("{}"), magnitude);
    ShortestDigits out;
    int pointAt = -1;
    int power = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] != 'e'; ++i) {
        if (text[i] == '.')
            pointAt = static_cast<int>(out.digits.size());
        else
            out.digits += text[i];
    }
    if (i < text.size())
        power = std::atoi(text.c_str() + i + 1);
    if (pointAt < 0)
        pointAt = static_cast<int>(out.digits.size());
    const auto firstSignificant = out.digits.find_first_not_of('0');
    out.digits.erase(0, firstSignificant);
    out.digits.erase(out.digits.find_last_not_of('0') + 1);
    out.exponent = pointAt - static_cast<int>(firstSignificant) - 1 + power;
    return out;
}

} // namespace

std::string formatNumber(double value)
{
    if (value == 0.0)
        return "0";
    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : (value > 0 ? "Infinity" : "-Infinity");

    const double magnitude = std::fabs(value);
    const auto [digits, exponent] = shortestDigits(magnitude);
    std::string text = value < 0 ? "-" : "";
    if (magnitude >= 1e-5 && magnitude < 1e15) {
        if (exponent < 0) {
            text += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        } else if (static_cast<std::size_t>(exponent) + 1 >= digits.size()) {
            text += digits + std::string(static_cast<std::size_t>(exponent) + 1 - digits.size(), '0');
        } else {
            text += digits.substr(0, static_cast<std::size_t>(exponent) + 1) + '.' +
                    digits.substr(static_cast<std::size_t>(exponent) + 1);
        }
    } else {
        text += digits.substr(0, 1);
        if (digits.size() > 1)
            text += '.' + digits.substr(1);
        const std::string power = std::to_string(std::abs(exponent));
        text += std::string(exponent < 0 ? "E-" : "E+") + (power.size() < 2 ? "0" : "") + power;
    }
    return text;
}

} // namespace namoro::runtime
