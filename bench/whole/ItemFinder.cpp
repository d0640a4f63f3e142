#include "ItemFinder.h"

#include <QImage>
#include <cstdio>
#include <stdexcept>

namespace namoro::bench {
namespace {

constexpr int kItems = 17;
constexpr std::size_t kProbes = 12;
constexpr double kShownShare = 0.95; // of the opaque pixels, at least this many show

} // namespace

ItemFinder::ItemFinder(const std::string& pictureDir)
{
    for (int item = 1; item <= kItems; ++item) {
        char name[32];
        std::snprintf(name, sizeof name, "/item%02d.xpm", item);
        const QImage image = QImage(QString::fromStdString(pictureDir + name)).convertToFormat(QImage::Format_ARGB32);
        if (image.isNull())
            throw std::runtime_error("cannot read " + pictureDir + name);
        Sprite sprite{image.width(), image.height(), {}, {}, {}};
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (qAlpha(pixel) == 255) {
                    sprite.opaque.emplace_back(x, y);
                    sprite.colours.push_back(pixel & 0xFFFFFFu);
                }
            }
        }
        if (sprite.opaque.empty())
            throw std::runtime_error(pictureDir + name + " has no opaque pixel");
        for (std::size_t i = 0; i < kProbes; ++i)
            sprite.probes.push_back(i * sprite.opaque.size() / kProbes);
        sprites_.push_back(std::move(sprite));
    }
}

std::optional<xsession::Rect> ItemFinder::findSprite(const Pixels& shot, const Sprite& sprite) const
{
    for (int y = 0; y + sprite.height <= shot.height; ++y) {
        for (int x = 0; x + sprite.width <= shot.width; ++x) {
            bool probed = true;
            for (const std::size_t i : sprite.probes) {
                const auto [px, py] = sprite.opaque[i];
                if (shot.at(x + px, y + py) != sprite.colours[i]) {
                    probed = false;
                    break;
                }
            }
            if (!probed)
                continue;
            std::size_t shown = 0;
            for (std::size_t i = 0; i < sprite.opaque.size(); ++i) {
                const auto [px, py] = sprite.opaque[i];
                shown += shot.at(x + px, y + py) == sprite.colours[i];
            }
            if (double(shown) >= kShownShare * double(sprite.opaque.size()))
                return xsession::Rect{x, y, sprite.width, sprite.height};
        }
    }
    return std::nullopt;
}

std::optional<xsession::Rect> ItemFinder::find(const Pixels& shot, std::minstd_rand& random) const
{
    const auto first = std::uniform_int_distribution<std::size_t>(0, sprites_.size() - 1)(random);
    for (std::size_t k = 0; k < sprites_.size(); ++k) {
        if (const auto found = findSprite(shot, sprites_[(first + k) % sprites_.size()]))
            return found;
    }
    return std::nullopt;
}

} // namespace namoro::bench
