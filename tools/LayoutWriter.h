#pragma once

#include "layout/LayoutDescription.h"
#include "layout/LayoutError.h"

#include <cstdint>
#include <vector>

namespace namoro::tools {

// Encodes a description as the stored layout stream. Fails on a text that code page 932
// cannot hold, a value too long for its length field, or anything else the reader would
// refuse (an index out of place, a control after the menu, an empty picture): every stream
// it writes reads back as the same description.
window::LayoutResult<std::vector<std::uint8_t>> writeLayout(const window::LayoutDescription& layout);

} // namespace namoro::tools
