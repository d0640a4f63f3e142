#pragma once

#include "runtime/Expected.h"
#include "layout/GifPicture.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace namoro::tools {

inline constexpr int kItemCount = 17;

// One item's picture as the layout stream carries it: the GIF bytes and their decoding.
struct ItemPicture {
    int item = 0;                       // item k is the picture control Image<k>
    std::vector<std::uint8_t> gif;
    window::Picture picture;
};

// The pictures of Image1 to Image17 in a layout stream, in item order. Fails, naming the
// item, when the stream does not read, an item is missing, or a picture does not decode.
runtime::Expected<std::vector<ItemPicture>, std::string> itemPictures(std::span<const std::uint8_t> stream);

} // namespace namoro::tools
