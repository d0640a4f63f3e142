#include "GifEncoder.h"

#include "layout/GifErrorText.h"

#include <gif_lib.h>

namespace namoro::tools {
namespace {

constexpr int kTableSize = 256;
constexpr int kCubeSize = 216;
constexpr int kColourResolution = 1; // stored as 0 in the packed byte: 0x87 with a 256-entry table

int writeToVector(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

} // namespace

std::vector<std::uint32_t> sharedColourTable()
{
    std::vector<std::uint32_t> table(kTableSize, 0);
    for (int i = 0; i < kCubeSize; ++i) {
        const auto level = [](int n) { return static_cast<std::uint32_t>(n * 0x33); };
        table[static_cast<std::size_t>(i)] = (level(i / 36) << 16) | (level(i / 6 % 6) << 8) | level(i % 6);
    }
    return table;
}

runtime::Expected<std::vector<std::uint8_t>, std::string> encodeGif(const IndexedImage& image)
{
    std::vector<std::uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToVector, &error);
    if (!gif)
        return runtime::Unexpected{"cannot start a GIF: " + window::gifErrorText(error)};
    const auto fail = [&](const char* step) {
        const std::string message = std::string(step) + ": " + window::gifErrorText(gif->Error);
        EGifCloseFile(gif, nullptr);
        return runtime::Unexpected{message};
    };

    ColorMapObject* colours = GifMakeMapObject(kTableSize, nullptr);
    const auto table = sharedColourTable();
    for (int i = 0; i < kTableSize; ++i) {
        const std::uint32_t rgb = table[static_cast<std::size_t>(i)];
        colours->Colors[i] = GifColorType{static_cast<GifByteType>(rgb >> 16), static_cast<GifByteType>(rgb >> 8),
                                          static_cast<GifByteType>(rgb)};
    }
    EGifSetGifVersion(gif, true); // before the screen descriptor, or giflib writes GIF87a
    const int screen = EGifPutScreenDesc(gif, image.width, image.height, kColourResolution, 0, colours);
    GifFreeMapObject(colours);
    if (screen != GIF_OK)
        return fail("screen descriptor");

    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSAL_UNSPECIFIED;
    control.UserInputFlag = true;
    control.DelayTime = 0;
    control.TransparentColor = kTransparentIndex;
    GifByteType extension[4];
    const auto extensionLength = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extensionLength), extension) != GIF_OK)
        return fail("graphic control extension");

    if (EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) != GIF_OK)
        return fail("image descriptor");
    std::vector<GifPixelType> row(static_cast<std::size_t>(image.width));
    for (int y = 0; y < image.height; ++y) {
        const auto* start = image.indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width);
        row.assign(start, start + image.width);
        if (EGifPutLine(gif, row.data(), image.width) != GIF_OK)
            return fail("image data");
    }
    if (EGifCloseFile(gif, &error) != GIF_OK)
        return runtime::Unexpected{"trailer: " + window::gifErrorText(error)};
    return out;
}

} // namespace namoro::tools
