// Decoding a picture from any bytes: a picture with consistent sizes, or an error naming a field.

#include "FuzzCheck.h"

#include "layout/GifPicture.h"

#include <cstdint>

using namespace namoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto picture = window::decodeGif({data, size});
    if (!picture) {
        fuzz::check(!picture.error().field.empty() && !picture.error().problem.empty(), "an error names its field");
        return 0;
    }
    const auto pixels = static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height);
    fuzz::check(picture->width > 0 && picture->height > 0, "a decoded picture is not empty");
    fuzz::check(picture->indices.size() == pixels && picture->argb.size() == pixels, "one colour per pixel");
    return 0;
}
