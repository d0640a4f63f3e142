#pragma once

#include "window/Control.h"
#include "window/FormBuilder.h"

#include <QColor>
#include <QRect>
#include <cmath>
#include <cstdint>

namespace namoro::ui {

// Twips to logical pixels, rounded to the nearest pixel.
inline int toPixels(float twips) { return static_cast<int>(std::lround(twips / float(window::kTwipsPerPixel))); }

inline QRect toPixels(const window::Rect& r)
{
    return {toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height)};
}

// Stored colours keep red in the low byte.
inline QColor toColour(std::uint32_t bgr) { return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)); }

} // namespace namoro::ui
