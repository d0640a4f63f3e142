#pragma once

#include <cstdint>

namespace namoro::testing {

// The bytes this program holds from the global operator new at this moment.
std::int64_t liveHeapBytes();

} // namespace namoro::testing
