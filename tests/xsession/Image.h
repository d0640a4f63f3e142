#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace namoro::xsession {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};

// A screenshot.
class Image {
public:
    Image() = default;
    explicit Image(const QImage& image) : image_(image.convertToFormat(QImage::Format_RGB32)) {}

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    bool empty() const { return image_.isNull(); }
    Rgb at(int x, int y) const
    {
        const QRgb pixel = reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x]; // fast enough to search
        return {std::uint8_t(qRed(pixel)), std::uint8_t(qGreen(pixel)), std::uint8_t(qBlue(pixel))};
    }

private:
    QImage image_;
};

// The pixels of `area` in which `a` and `b` differ, leaving out the `ignored` rectangles.
int countDifferences(const Image& a, const Image& b, Rect area, const std::vector<Rect>& ignored = {});

} // namespace namoro::xsession
