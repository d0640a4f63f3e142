#pragma once

#include "LayoutDescription.h"
#include "LayoutError.h"

#include <cstdint>
#include <span>

namespace namoro::window {

// Reads a stored layout stream, checking every length, marker, kind and property code.
// The first bad field is reported by name and offset; nothing half-read is returned.
LayoutResult<LayoutDescription> readLayout(std::span<const std::uint8_t> stream);

} // namespace namoro::window
