#include "ItemArt.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace namoro::e2e {
namespace {

// The quoted strings of an XPM file, in order.
std::vector<std::string> quotedStrings(const std::string& text)
{
    std::vector<std::string> result;
    for (std::size_t pos = text.find('"'); pos != std::string::npos; pos = text.find('"', pos)) {
        const std::size_t end = text.find('"', pos + 1);
        if (end == std::string::npos)
            break;
        result.push_back(text.substr(pos + 1, end - pos - 1));
        pos = end + 1;
    }
    return result;
}

ItemArt readXpm(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        throw std::runtime_error("cannot read " + path);
    std::stringstream buffer;
    buffer << file.rdbuf();
    const auto strings = quotedStrings(buffer.str());
    int width = 0, height = 0, colours = 0, charsPerPixel = 0;
    if (strings.empty() || std::sscanf(strings[0].c_str(), "%d %d %d %d", &width, &height, &colours, &charsPerPixel) != 4 ||
        strings.size() != std::size_t(1 + colours + height))
        throw std::runtime_error(path + ": not an XPM picture");

    std::map<std::string, std::optional<Rgb>> palette;
    for (int i = 1; i <= colours; ++i) {
        const std::string& entry = strings[std::size_t(i)];
        const std::string key = entry.substr(0, std::size_t(charsPerPixel));
        const std::size_t c = entry.find(" c ", std::size_t(charsPerPixel));
        if (c == std::string::npos)
            throw std::runtime_error(path + ": colour entry without a colour");
        const std::string value = entry.substr(c + 3);
        unsigned rgb = 0;
        if (value == "None")
            palette[key] = std::nullopt;
        else if (std::sscanf(value.c_str(), "#%6x", &rgb) == 1)
            palette[key] = Rgb{std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb)};
        else
            throw std::runtime_error(path + ": unreadable colour " + value);
    }

    ItemArt art{width, height, {}};
    for (int y = 0; y < height; ++y) {
        const std::string& row = strings[std::size_t(1 + colours + y)];
        for (int x = 0; x < width; ++x)
            art.pixels.push_back(palette.at(row.substr(std::size_t(x * charsPerPixel), std::size_t(charsPerPixel))));
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
