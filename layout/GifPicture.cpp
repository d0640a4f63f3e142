#include "GifPicture.h"

#include "GifErrorText.h"

#include <cstring>
#include <gif_lib.h>
#include <memory>
#include <optional>

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
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

runtime::Unexpected<PictureError> failure(std::string field, std::size_t offset, std::string problem)
{
    return {PictureError{std::move(field), offset, std::move(problem)}};
}

bool withinBounds(int width, int height)
{
    return width > 0 && height > 0 && width <= kLargestPictureSide && height <= kLargestPictureSide;
}

std::string sizeText(int width, int height) { return std::to_string(width) + " x " + std::to_string(height); }

// Reads the header and the logical screen, and refuses a screen no picture can have.
runtime::Expected<GifFile, PictureError> openGif(MemorySource& source)
{
    // giflib's own version check misreads 89a files, so the signature is checked here.
    if (source.bytes.size() < kSignatureSize || std::memcmp(source.bytes.data(), "GIF89a", kSignatureSize) != 0)
        return failure("signature", 0, "is not \"GIF89a\"");
    int error = 0;
    GifFile gif(DGifOpen(&source, readFromMemory, &error));
    if (!gif)
        return failure("screen", kScreenOffset, gifErrorText(error));
    if (!withinBounds(gif->SWidth, gif->SHeight))
        return failure("screen", kScreenOffset, "is " + sizeText(gif->SWidth, gif->SHeight) + " pixels");
    return gif;
}

// Skips an extension's data blocks; returns the control extension's settings if it is one.
runtime::Expected<std::optional<GraphicsControlBlock>, PictureError> readExtension(GifFileType* gif,
                                                                                 const MemorySource& source)
{
    int code = 0;
    GifByteType* block = nullptr;
    std::optional<GraphicsControlBlock> control;
    if (DGifGetExtension(gif, &code, &block) != GIF_OK)
        return failure("extension", source.position, gifErrorText(gif->Error));
    if (code == GRAPHICS_EXT_FUNC_CODE && block) {
        GraphicsControlBlock settings;
        if (DGifExtensionToGCB(block[0], block + 1, &settings) == GIF_OK)
            control = settings;
    }
    while (block) {
        if (DGifGetExtensionNext(gif, &block) != GIF_OK)
            return failure("extension", source.position, gifErrorText(gif->Error));
    }
    return control;
}

// Reads the frame's descriptor, checks its place and size, then decodes its rows.
runtime::Expected<std::vector<std::uint8_t>, PictureError> readFrame(GifFileType* gif, const MemorySource& source)
{
    const std::size_t descriptor = source.position - 1; // after its separator
    if (DGifGetImageDesc(gif) != GIF_OK)
        return failure("frame", descriptor, gifErrorText(gif->Error));
    const GifImageDesc& desc = gif->Image;
    if (desc.Left != 0 || desc.Top != 0 || desc.Width != gif->SWidth || desc.Height != gif->SHeight)
        return failure("frame", descriptor, "is " + sizeText(desc.Width, desc.Height) + " at (" +
                                                std::to_string(desc.Left) + ", " + std::to_string(desc.Top) +
                                                "), not the logical screen");
    if (desc.ColorMap)
        return failure("frame", descriptor, "has a local colour table");
    if (desc.Interlace)
        return failure("frame", descriptor, "is interlaced");

    const auto width = static_cast<std::size_t>(desc.Width);
    std::vector<std::uint8_t> indices(width * static_cast<std::size_t>(desc.Height));
    for (int y = 0; y < desc.Height; ++y) {
        if (DGifGetLine(gif, indices.data() + static_cast<std::size_t>(y) * width, desc.Width) != GIF_OK)
            return failure("image-data", source.position, gifErrorText(gif->Error));
    }
    return indices;
}

} // namespace

runtime::Expected<PictureSize, PictureError> gifScreenSize(std::span<const std::uint8_t> bytes)
{
    MemorySource source{bytes};
    auto gif = openGif(source);
    if (!gif)
        return runtime::Unexpected{gif.error()};
    return PictureSize{(*gif)->SWidth, (*gif)->SHeight};
}

runtime::Expected<Picture, PictureError> decodeGif(std::span<const std::uint8_t> bytes)
{
    MemorySource source{bytes};
    auto opened = openGif(source);
    if (!opened)
        return runtime::Unexpected{opened.error()};
    GifFileType* gif = opened->get();

    // Record by record, so that nothing is allocated for a frame before its size is checked.
    std::optional<GraphicsControlBlock> control;
    std::optional<std::vector<std::uint8_t>> indices;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) != GIF_OK)
            return failure("blocks", source.position, gifErrorText(gif->Error));
        if (record == TERMINATE_RECORD_TYPE)
            break;
        if (record == EXTENSION_RECORD_TYPE) {
            auto extension = readExtension(gif, source);
            if (!extension)
                return runtime::Unexpected{extension.error()};
            if (!indices && !control)
                control = *extension; // the first control extension ahead of the frame
            continue;
        }
        if (indices)
            return failure("frames", source.position - 1, "holds more than one frame");
        auto frame = readFrame(gif, source);
        if (!frame)
            return runtime::Unexpected{frame.error()};
        indices = std::move(frame).value();
    }
    if (!indices)
        return failure("frames", source.position, "holds no frame");
    const ColorMapObject* colours = gif->SColorMap;
    if (!colours)
        return failure("colour-table", kColourTableOffset, "no global colour table");

    const int transparent = control ? control->TransparentColor : NO_TRANSPARENT_COLOR;
    Picture picture;
    picture.width = gif->SWidth;
    picture.height = gif->SHeight;
    picture.byteSize = bytes.size();
    picture.indices = std::move(*indices);
    picture.argb.resize(picture.indices.size());
    for (std::size_t i = 0; i < picture.indices.size(); ++i) {
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
