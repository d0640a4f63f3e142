#include "ItemArt.h"

#include "tools/GifEncoder.h"
#include "tools/XpmImage.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace namoro::e2e {
namespace {

// Read with the same reader the layout compiler uses, so the test sees what the game embeds.
ItemArt readXpm(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        throw std::runtime_error("cannot read " + path);
    std::stringstream buffer;
    buffer << file.rdbuf();
    const auto image = tools::parseXpm(buffer.str());
    if (!image)
        throw std::runtime_error(path + ": " + image.error());
    const auto table = tools::sharedColourTable();
    ItemArt art{image->width, image->height, {}};
    for (const std::uint8_t index : image->indices) {
        const std::uint32_t rgb = table[index];
        art.pixels.push_back(index == tools::kTransparentIndex
                                 ? std::nullopt
                                 : std::optional<Rgb>(Rgb{std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb)}));
    }
    return art;
}

} // namespace

std::vector<ItemArt> loadItemArt(const std::string& pictureDir)
{
    std::vector<ItemArt> art;
    for (int item = 1; item <= kItemCount; ++item) {
        char name[32];
        std::snprintf(name, sizeof name, "/item%02d.xpm", item);
        art.push_back(readXpm(pictureDir + name));
    }
    return art;
}

std::optional<int> itemShownAt(const std::vector<ItemArt>& art, const std::array<Point, kItemCount>& positions, int x,
                               int y)
{
    for (int item = 1; item <= kItemCount; ++item) {
        const ItemArt& picture = art[std::size_t(item - 1)];
        const Point at = positions[std::size_t(item - 1)];
        const int px = x - at.x, py = y - at.y;
        if (px >= 0 && py >= 0 && px < picture.width && py < picture.height && picture.at(px, py))
            return item;
    }
    return std::nullopt;
}

bool StartScreenReport::matches() const
{
    if (backgroundMismatched != 0)
        return false;
    for (int i = 0; i < kItemCount; ++i) {
        if (shown[std::size_t(i)] == 0 || mismatched[std::size_t(i)] != 0)
            return false;
    }
    return true;
}

std::string StartScreenReport::describe() const
{
    std::ostringstream out;
    for (int i = 0; i < kItemCount; ++i)
        out << "Image" << i + 1 << ": " << mismatched[std::size_t(i)] << " of " << shown[std::size_t(i)]
            << " pixels wrong; ";
    out << "background: " << backgroundMismatched << " of " << background << " pixels wrong";
    return out.str();
}

StartScreenReport compareWithStartScreen(const Image& shot, const Rect& inner, const std::vector<ItemArt>& art)
{
    StartScreenReport report;
    for (int y = 0; y < kCaptionTop && y < inner.height; ++y) {
        for (int x = 0; x < inner.width; ++x) {
            const Rgb seen = shot.at(inner.x + x, inner.y + y);
            if (const auto item = itemShownAt(art, kStartPositions, x, y)) {
                const auto i = std::size_t(*item - 1);
                const Point at = kStartPositions[i];
                ++report.shown[i];
                if (!(seen == *art[i].at(x - at.x, y - at.y)))
                    ++report.mismatched[i];
            } else {
                ++report.background;
                if (!(seen == kLavender))
                    ++report.backgroundMismatched;
            }
        }
    }
    return report;
}

Point startClickPoint(const std::vector<ItemArt>& art, int item)
{
    const ItemArt& picture = art[std::size_t(item - 1)];
    const Point at = kStartPositions[std::size_t(item - 1)];
    const double cx = at.x + picture.width / 2.0, cy = at.y + picture.height / 2.0;
    std::optional<Point> best;
    double bestDistance = 0;
    for (int y = at.y + 1; y < at.y + picture.height - 1; ++y) {
        for (int x = at.x + 1; x < at.x + picture.width - 1; ++x) {
            bool solid = true; // the pixel and its neighbours all show this item
            for (int dy = -1; dy <= 1 && solid; ++dy) {
                for (int dx = -1; dx <= 1 && solid; ++dx)
                    solid = itemShownAt(art, kStartPositions, x + dx, y + dy) == item;
            }
            const double distance = std::hypot(x - cx, y - cy);
            if (solid && (!best || distance < bestDistance)) {
                best = Point{x, y};
                bestDistance = distance;
            }
        }
    }
    if (!best)
        throw std::runtime_error("Image" + std::to_string(item) + " shows no pixel to click at its start");
    return *best;
}

} // namespace namoro::e2e
