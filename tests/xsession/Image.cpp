#include "Image.h"

namespace namoro::xsession {

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
