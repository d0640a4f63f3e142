#include "ItemFinder.h"

#include <stdexcept>

namespace namoro::bench {
namespace {

constexpr std::size_t kProbes = 12;
constexpr double kShownShare = 0.95; // of the opaque pixels, at least this many show

} // namespace

ItemFinder::ItemFinder(const std::vector<e2e::ItemArt>& art)
{
    for (const e2e::ItemArt& picture : art) {
        Sprite sprite{picture.width, picture.height, {}, {}, {}};
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                if (const auto& colour = picture.at(x, y)) {
                    sprite.opaque.push_back({x, y});
                    sprite.colours.push_back(*colour);
                }
            }
        }
        if (sprite.opaque.empty())
            throw std::runtime_error("an item picture has no opaque pixel");
        for (std::size_t i = 0; i < kProbes; ++i)
            sprite.probes.push_back(i * sprite.opaque.size() / kProbes);
        sprites_.push_back(std::move(sprite));
    }
}

std::optional<xsession::Rect> ItemFinder::findSprite(const xsession::Image& shot, const Sprite& sprite) const
{
    auto shows = [&](int x, int y, std::size_t i) {
        return shot.at(x + sprite.opaque[i].x, y + sprite.opaque[i].y) == sprite.colours[i];
    };
    for (int y = 0; y + sprite.height <= shot.height(); ++y) {
        for (int x = 0; x + sprite.width <= shot.width(); ++x) {
            bool probed = true;
            for (const std::size_t i : sprite.probes)
                probed = probed && shows(x, y, i);
            if (!probed)
                continue;
            std::size_t shown = 0;
            for (std::size_t i = 0; i < sprite.opaque.size(); ++i)
                shown += shows(x, y, i);
            if (double(shown) >= kShownShare * double(sprite.opaque.size()))
                return xsession::Rect{x, y, sprite.width, sprite.height};
        }
    }
    return std::nullopt;
}

std::optional<xsession::Rect> ItemFinder::find(const xsession::Image& shot, std::minstd_rand& random) const
{
    const auto first = std::uniform_int_distribution<std::size_t>(0, sprites_.size() - 1)(random);
    for (std::size_t k = 0; k < sprites_.size(); ++k) {
        if (const auto found = findSprite(shot, sprites_[(first + k) % sprites_.size()]))
            return found;
    }
    return std::nullopt;
}

} // namespace namoro::bench
