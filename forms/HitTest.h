#pragma once

#include "Form.h"
#include "FormBuilder.h"

#include <cmath>
#include <cstdint>

namespace namoro::window {

// Twips to logical pixels, rounded to the nearest pixel.
inline int twipsToPixels(float twips) { return static_cast<int>(std::lround(twips / float(kTwipsPerPixel))); }

// Where a click at the logical pixel (x, y) goes: the topmost picture with an opaque pixel
// there, else the topmost whose rectangle holds it; nothing outside every picture. A picture
// covers its own pixel size from its rounded Left and Top. Every front end clicks through this,
// with any int: the offsets into a picture are taken in 64 bits, where no difference of two
// ints overflows.
inline PictureControl* pictureAt(const Form& form, int x, int y)
{
    PictureControl* underRectangle = nullptr;
    const auto& pictures = form.pictures();
    for (auto it = pictures.rbegin(); it != pictures.rend(); ++it) {
        const Picture& picture = (*it)->picture();
        const std::int64_t dx = std::int64_t{x} - twipsToPixels((*it)->left());
        const std::int64_t dy = std::int64_t{y} - twipsToPixels((*it)->top());
        if (dx < 0 || dy < 0 || dx >= picture.width || dy >= picture.height)
            continue;
        if (picture.opaqueAt(static_cast<int>(dx), static_cast<int>(dy)))
            return it->get();
        if (!underRectangle)
            underRectangle = it->get();
    }
    return underRectangle;
}

} // namespace namoro::window
