#pragma once

#include "runtime/Expected.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace namoro::tools {

inline constexpr std::uint8_t kTransparentIndex = 216;

// An item picture as indices into the shared colour table: the 6x6x6 cube in 0..215, and
// 216 for the transparent surroundings.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;
};

// Reads an XPM whose colours are "None" or "#RRGGBB" with every channel on the cube's levels
// (00, 33, 66, 99, CC, FF). The error names the line and what is wrong with it.
runtime::Expected<IndexedImage, std::string> parseXpm(std::string_view text);

// The index of a cube colour, or nothing when a channel is off the cube's levels.
std::optional<std::uint8_t> cubeIndex(std::uint32_t rgb);

} // namespace namoro::tools
