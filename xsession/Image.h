#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace namoro::xsession {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
    std::string hex() const;
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};

// A screenshot, 8 bits a channel.
class Image {
public:
    Image() = default;
    Image(int width, int height) : width_(width), height_(height), pixels_(std::size_t(width) * std::size_t(height)) {}

    // A binary PPM (P6), 8 or 16 bits a channel; nothing if the bytes are not one.
    static std::optional<Image> fromPpm(std::string_view bytes);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return pixels_.empty(); }
    Rgb at(int x, int y) const { return pixels_[index(x, y)]; }
    void set(int x, int y, Rgb colour) { pixels_[index(x, y)] = colour; }

private:
    std::size_t index(int x, int y) const { return std::size_t(y) * std::size_t(width_) + std::size_t(x); }

    int width_ = 0;
    int height_ = 0;
    std::vector<Rgb> pixels_;
};

// The pixels of `area` in which `a` and `b` differ, leaving out the `ignored` rectangles.
int countDifferences(const Image& a, const Image& b, Rect area, const std::vector<Rect>& ignored = {});

} // namespace namoro::xsession
