#pragma once

#include <string>

namespace namoro::runtime {

// The shortest text that strictNumber reads back as the same double: fixed notation from 1e-5
// up to 1e15, scientific ("1.5E+20") outside; negative zero prints as "0".
std::string formatNumber(double value);

} // namespace namoro::runtime
