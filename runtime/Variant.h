#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace namoro::runtime {

// The game's two form-level variables are either empty or a 16-bit integer.
using Variant = std::optional<std::int16_t>;

// An empty variant equals no integer.
inline bool variantEquals(const Variant& left, std::int16_t right) { return left && *left == right; }

// Empty compares as 0, as the classic runtime does.
inline bool variantLess(const Variant& left, std::int16_t right) { return left.value_or(0) < right; }

// Throws the overflow error when the difference leaves the 16-bit range.
Variant variantSubtract(const Variant& left, std::int16_t right);

// Decimal digits of the integer; an empty variant is the empty text.
std::string variantText(const Variant& value);

} // namespace namoro::runtime
