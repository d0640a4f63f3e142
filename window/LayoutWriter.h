#pragma once

#include "LayoutDescription.h"
#include "LayoutError.h"

#include <cstdint>
#include <vector>

namespace namoro::window {

// Encodes a description as the stored layout stream. Fails on a text that code page 932
// cannot hold or a value too long for its length field.
LayoutResult<std::vector<std::uint8_t>> writeLayout(const LayoutDescription& layout);

} // namespace namoro::window
