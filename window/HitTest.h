#pragma once

#include "Form.h"
#include "FormBuilder.h"

#include <cmath>

namespace namoro::window {

// Twips to logical pixels, rounded to the nearest pixel.
inline int twipsToPixels(float twips) { return static_cast<int>(std::lround(twips / float(kTwipsPerPixel))); }

// Where a click at the logical pixel (x, y) goes: the topmost picture with an opaque pixel
// there, else the topmost whose rectangle holds it; nothing outside every picture. A picture
// covers its own pixel size from its rounded Left and Top. Every front end clicks through this.
inline PictureControl* pictureAt(const Form& form, int x, int y)
{
    const auto& pictures = form.pictures();
    const auto origin = [](const PictureControl& p) { return std::pair{twipsToPixels(p.left()), twipsToPixels(p.top())}; };
    for (auto it = pictures.rbegin(); it != pictures.rend(); ++it) {
        const auto [left, top] = origin(**it);
        if ((*it)->picture().opaqueAt(x - left, y - top))
            return it->get();
    }
    for (auto it = pictures.rbegin(); it != pictures.rend(); ++it) {
        const auto [left, top] = origin(**it);
        const Picture& picture = (*it)->picture();
        if (x >= left && y >= top && x < left + picture.width && y < top + picture.height)
            return it->get();
    }
    return nullptr;
}

} // namespace namoro::window
