#include "GifPicture.h"

#include <cstring>
#include <gif_lib.h>
#include <memory>

namespace namoro::window {
namespace {

constexpr std::size_t kSignatureSize = 6;
constexpr std::size_t kScreenOffset = 6;
constexpr std::size_t kColourTableOffset = 13;

struct MemorySource {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* buffer, int wanted)
{
    auto* source = static_cast<MemorySource*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(wanted), source->bytes.size() - source->position);
    std::memcpy(buffer, source->bytes.data() + source->position, n);
    source->position += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

runtime::Unexpected<PictureError> failure(std::string field, std::size_t offset, std::string problem)
{
    return {PictureError{std::move(field), offset, std::move(problem)}};
}

} // namespace

runtime::Expected<Picture, PictureError> decodeGif(std::span<const std::uint8_t> bytes)
{
    // giflib's own version check misreads 89a files, so the signature is checked here.
    if (bytes.size() < kSignatureSize || std::memcmp(bytes.data(), "GIF89a", kSignatureSize) != 0)
        return failure("signature", 0, "is not \"GIF89a\"");

    MemorySource source{bytes};
    int error = 0;
    const std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, readFromMemory, &error));
    if (!gif)
        return failure("screen", kScreenOffset, GifErrorString(error));
    if (DGifSlurp(gif.get()) != GIF_OK)
        return failure("image-data", source.position, GifErrorString(gif->Error));

    const ColorMapObject* colours = gif->SColorMap;
    if (!colours)
        return failure("colour-table", kColourTableOffset, "no global colour table");
    if (gif->ImageCount != 1)
        return failure("frames", kColourTableOffset, "holds " + std::to_string(gif->ImageCount) + " frames, expected 1");
    const SavedImage& frame = gif->SavedImages[0];
    const GifImageDesc& desc = frame.ImageDesc;
    if (desc.Left != 0 || desc.Top != 0 || desc.Width != gif->SWidth || desc.Height != gif->SHeight)
        return failure("frame", kColourTableOffset, "does not cover the logical screen");
    if (desc.ColorMap)
        return failure("frame", kColourTableOffset, "has a local colour table");
    if (desc.Width <= 0 || desc.Height <= 0)
        return failure("screen", kScreenOffset, "is empty");

    int transparent = NO_TRANSPARENT_COLOR;
    GraphicsControlBlock control;
    if (DGifSavedExtensionToGCB(gif.get(), 0, &control) == GIF_OK)
        transparent = control.TransparentColor;

    Picture picture;
    picture.width = desc.Width;
    picture.height = desc.Height;
    picture.byteSize = bytes.size();
    const auto pixels = static_cast<std::size_t>(desc.Width) * static_cast<std::size_t>(desc.Height);
    picture.indices.assign(frame.RasterBits, frame.RasterBits + pixels);
    picture.argb.resize(pixels);
    for (std::size_t i = 0; i < pixels; ++i) {
        const int index = picture.indices[i];
        if (index >= colours->ColorCount)
            return failure("image-data", kColourTableOffset, "pixel index " + std::to_string(index) + " beyond the colour table");
        if (index == transparent)
            continue; // stays 0: fully transparent
        const GifColorType c = colours->Colors[index];
        picture.argb[i] = 0xFF000000u | (std::uint32_t{c.Red} << 16) | (std::uint32_t{c.Green} << 8) | c.Blue;
    }
    return picture;
}

} // namespace namoro::window
