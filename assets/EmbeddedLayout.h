#pragma once

#include <cstdint>
#include <span>

namespace namoro::assets {

// The window's stored layout stream, compiled from form1.layout and the item pictures.
std::span<const std::uint8_t> form1Layout();

} // namespace namoro::assets
