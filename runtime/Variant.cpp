#include "Variant.h"

#include "RuntimeError.h"

#include <limits>

namespace namoro::runtime {

Variant variantSubtract(const Variant& left, std::int16_t right)
{
    const int difference = int{left.value_or(0)} - int{right};
    if (difference < std::numeric_limits<std::int16_t>::min() || difference > std::numeric_limits<std::int16_t>::max())
        throw RuntimeError::overflow();
    return static_cast<std::int16_t>(difference);
}

std::string variantText(const Variant& value)
{
    return value ? std::to_string(*value) : std::string{};
}

} // namespace namoro::runtime
