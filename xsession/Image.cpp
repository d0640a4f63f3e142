#include "Image.h"

#include <cctype>
#include <cstdio>

namespace namoro::xsession {
namespace {

// Reads the next header number, skipping white space and comments.
std::optional<int> headerNumber(std::string_view bytes, std::size_t& pos)
{
    for (;;) {
        while (pos < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[pos])))
            ++pos;
        if (pos < bytes.size() && bytes[pos] == '#') {
            while (pos < bytes.size() && bytes[pos] != '\n')
                ++pos;
            continue;
        }
        break;
    }
    long value = 0;
    const std::size_t start = pos;
    while (pos < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[pos])) && value < 1'000'000)
        value = value * 10 + (bytes[pos++] - '0');
    if (pos == start)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

std::string Rgb::hex() const
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", r, g, b);
    return text;
}

std::optional<Image> Image::fromPpm(std::string_view bytes)
{
    if (bytes.substr(0, 2) != "P6")
        return std::nullopt;
    std::size_t pos = 2;
    const auto width = headerNumber(bytes, pos);
    const auto height = headerNumber(bytes, pos);
    const auto maxValue = headerNumber(bytes, pos);
    if (!width || !height || !maxValue || *width <= 0 || *height <= 0 || *maxValue <= 0 || *maxValue > 65535)
        return std::nullopt;
    ++pos; // the single white-space byte before the raster
    const std::size_t channelBytes = *maxValue > 255 ? 2 : 1;
    const std::size_t pixelCount = std::size_t(*width) * std::size_t(*height);
    if (bytes.size() < pos + pixelCount * 3 * channelBytes)
        return std::nullopt;

    Image image(*width, *height);
    const auto* raster = reinterpret_cast<const unsigned char*>(bytes.data() + pos);
    auto channel = [&](std::size_t i) -> std::uint8_t {
        const unsigned value = channelBytes == 2 ? (raster[2 * i] << 8 | raster[2 * i + 1]) : raster[i];
        return static_cast<std::uint8_t>((value * 255 + unsigned(*maxValue) / 2) / unsigned(*maxValue));
    };
    for (std::size_t i = 0; i < pixelCount; ++i)
        image.pixels_[i] = {channel(3 * i), channel(3 * i + 1), channel(3 * i + 2)};
    return image;
}

int countDifferences(const Image& a, const Image& b, Rect area, const std::vector<Rect>& ignored)
{
    if (a.width() != b.width() || a.height() != b.height())
        return area.width * area.height;
    int count = 0;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            bool skip = x >= a.width() || y >= a.height();
            for (const Rect& r : ignored)
                skip = skip || r.contains(x, y);
            if (!skip && !(a.at(x, y) == b.at(x, y)))
                ++count;
        }
    }
    return count;
}

} // namespace namoro::xsession
