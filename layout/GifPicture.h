#pragma once

#include "runtime/Expected.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace namoro::window {

// No control is wider or higher than 32767 twips, and a picture is shown 15 twips a pixel,
// never stretched: a GIF that states more pixels than this is refused before it is decoded.
inline constexpr int kLargestPictureSide = 32767 / 15;

// A decoded item picture: colour-table indices and their colours, 0xAARRGGBB, where the
// transparent index has alpha 0 and every other pixel is opaque.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;
    std::vector<std::uint32_t> argb;
    std::size_t byteSize = 0;   // length of the GIF it came from

    bool opaqueAt(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height && (argb[static_cast<std::size_t>(y * width + x)] >> 24) != 0;
    }
};

struct PictureError {
    std::string field;          // e.g. "signature", "colour-table"
    std::size_t offset = 0;     // byte offset inside the GIF
    std::string problem;
};

struct PictureSize {
    int width = 0;
    int height = 0;
};

// The logical screen's size as a GIF states it, read before anything else of it.
runtime::Expected<PictureSize, PictureError> gifScreenSize(std::span<const std::uint8_t> gif);

// Decodes a single-frame GIF89a with a global colour table, honouring its transparent index.
// The frame must cover the logical screen exactly, not interlaced, and neither may be larger
// than kLargestPictureSide; sizes are checked before any pixel is decoded.
runtime::Expected<Picture, PictureError> decodeGif(std::span<const std::uint8_t> gif);

} // namespace namoro::window
