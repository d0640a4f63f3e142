#pragma once

#include "XpmImage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace namoro::tools {

// The 256-entry table every item picture shares: the 6x6x6 cube, then black.
std::vector<std::uint32_t> sharedColourTable();

// Writes an item picture as a single-frame GIF89a: the shared global colour table, a graphic
// control extension making index 216 transparent, LZW with minimum code size 8.
runtime::Expected<std::vector<std::uint8_t>, std::string> encodeGif(const IndexedImage& image);

} // namespace namoro::tools
