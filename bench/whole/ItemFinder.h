#pragma once

#include "tests/xsession/Image.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace namoro::bench {

// A screenshot as 0xRRGGBB pixels, row by row.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;

    std::uint32_t at(int x, int y) const { return rgb[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

// Finds the falling items in a screenshot of the inner area by their pictures, read from the
// XPM sources the game embeds.
class ItemFinder {
public:
    // Throws std::runtime_error if a picture cannot be read.
    explicit ItemFinder(const std::string& pictureDir);

    // The rectangle of an item that shows whole and nearly unhidden, starting the search at a
    // random item; nothing if none does.
    std::optional<xsession::Rect> find(const Pixels& shot, std::minstd_rand& random) const;

private:
    struct Sprite {
        int width = 0;
        int height = 0;
        std::vector<std::pair<int, int>> opaque;  // (x, y) of every opaque pixel
        std::vector<std::uint32_t> colours;       // their colours, 0xRRGGBB
        std::vector<std::size_t> probes;          // a few of them, checked first
    };

    std::optional<xsession::Rect> findSprite(const Pixels& shot, const Sprite& sprite) const;

    std::vector<Sprite> sprites_;
};

} // namespace namoro::bench
