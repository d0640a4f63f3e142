#pragma once

#include <optional>
#include <string_view>

namespace namoro::runtime {

// The whole text, trimmed, must be one decimal number (sign, digits, fraction, exponent).
// Anything else, or a value beyond the double range, is not a number.
std::optional<double> strictNumber(std::string_view utf8);

// Drops white space wherever it stands and reads the longest leading number; no digits read as 0.
// A value beyond the double range reads as an infinity of its sign. Never fails.
double lenientNumber(std::string_view utf8);

} // namespace namoro::runtime
