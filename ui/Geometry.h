#pragma once

#include "forms/Control.h"
#include "forms/HitTest.h"
#include "face/Presentation.h"

#include <QColor>
#include <QRect>
#include <cstdint>

namespace namoro::ui {

// Twips to logical pixels, rounded as the hit test rounds them.
inline int toPixels(float twips) { return window::twipsToPixels(twips); }

inline QRect toPixels(const window::Rect& r)
{
    return {toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height)};
}

inline QColor toColour(std::uint32_t bgr)
{
    const auto [red, green, blue] = window::toRgb(bgr);
    return QColor(red, green, blue);
}

} // namespace namoro::ui
