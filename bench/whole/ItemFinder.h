#pragma once

#include "tests/e2e/ItemArt.h"

#include <optional>
#include <random>
#include <vector>

namespace namoro::bench {

// Finds the falling items in a screenshot of the inner area by their pictures.
class ItemFinder {
public:
    // Throws std::runtime_error if a picture has no opaque pixel.
    explicit ItemFinder(const std::vector<e2e::ItemArt>& art);

    // The rectangle of an item that shows whole and nearly unhidden, starting the search at a
    // random item; nothing if none does.
    std::optional<xsession::Rect> find(const xsession::Image& shot, std::minstd_rand& random) const;

private:
    struct Sprite {
        int width = 0;
        int height = 0;
        std::vector<xsession::Point> opaque; // every opaque pixel
        std::vector<xsession::Rgb> colours;  // their colours
        std::vector<std::size_t> probes;     // a few of them, checked first
    };

    std::optional<xsession::Rect> findSprite(const xsession::Image& shot, const Sprite& sprite) const;

    std::vector<Sprite> sprites_;
};

} // namespace namoro::bench
