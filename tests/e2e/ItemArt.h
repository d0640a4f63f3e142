#pragma once

#include "tests/xsession/Image.h"
#include "tests/xsession/ProgramWindow.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace namoro::e2e {

using xsession::Image;
using xsession::Point;
using xsession::Rect;
using xsession::Rgb;

inline constexpr int kItemCount = 17;
inline constexpr Rgb kLavender{192, 192, 255};
// Everything above the rank caption's top edge belongs to the pictures alone at start-up.
inline constexpr int kCaptionTop = 488;

// An item picture as its readable source draws it: a colour or nothing (transparent) a pixel.
struct ItemArt {
    int width = 0;
    int height = 0;
    std::vector<std::optional<Rgb>> pixels;

    const std::optional<Rgb>& at(int x, int y) const { return pixels[std::size_t(y * width + x)]; }
};

// The 17 pictures from their XPM sources, item k at index k - 1; throws if one is unreadable.
std::vector<ItemArt> loadItemArt(const std::string& pictureDir);

// Where each item starts, in pixels of the inner area.
inline constexpr std::array<Point, kItemCount> kStartPositions{{
    {8, 16}, {464, 24}, {136, 8}, {192, 16}, {288, 16}, {408, 16}, {520, 16}, {360, 8}, {56, 8},
    {96, 8}, {240, 176}, {584, 16}, {240, 16}, {72, 96}, {328, 72}, {200, 80}, {432, 64},
}};

// The item whose opaque pixel shows at (x, y) with the items at `positions`: item 1 lies
// on top of item 2 and so on down to item 17.
std::optional<int> itemShownAt(const std::vector<ItemArt>& art, const std::array<Point, kItemCount>& positions, int x,
                               int y);

// How the inner area of a screenshot compares with the items drawn at their start positions
// over the lavender background, above the rank caption.
struct StartScreenReport {
    std::array<int, kItemCount> shown{};      // pixels each item should show
    std::array<int, kItemCount> mismatched{}; // of those, how many show another colour
    int background = 0;
    int backgroundMismatched = 0;

    bool matches() const;
    std::string describe() const;
};

StartScreenReport compareWithStartScreen(const Image& shot, const Rect& inner, const std::vector<ItemArt>& art);

// A point well inside item k's visible pixels at its start position, fit for a click.
Point startClickPoint(const std::vector<ItemArt>& art, int item);

} // namespace namoro::e2e
