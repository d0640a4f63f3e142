#pragma once

#include "forms/Label.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace namoro::window {

// How both front ends show what the layout stores, stated once.

struct Rgb {
    int red, green, blue;
};
// Stored colours keep red in the low byte.
inline constexpr Rgb toRgb(std::uint32_t bgr) { return {int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)}; }
// The same colour as the web writes it, "#rrggbb".
inline std::string cssColour(std::uint32_t bgr)
{
    const auto [red, green, blue] = toRgb(bgr);
    std::string text = "#";
    for (const int part : {red, green, blue}) {
        text += "0123456789abcdef"[part >> 4];
        text += "0123456789abcdef"[part & 0xF];
    }
    return text;
}

// The layout was designed at 96 dots per inch: a point is 96/72 logical pixels.
inline int captionPixelSize(const LabelFont& font) { return static_cast<int>(std::lround(font.pointSize * 96.0 / 72.0)); }
// Stored weights run from 0 to 1000; fonts know 100 to 900.
inline int captionWeight(const LabelFont& font) { return std::clamp(font.weight, 100, 900); }

// After the stored face: a pop-style face with every glyph of the ranks, then any Japanese face.
inline constexpr std::array<std::string_view, 3> kCaptionFallbackFamilies{"RocknRoll One", "Noto Sans CJK JP", "Noto Sans JP"};
// The web page brings the pop-style face's rank glyphs along under a name of their own, tried
// before the face itself.
inline constexpr std::string_view kCaptionPageFace = "RocknRoll One Ranks";

inline constexpr std::string_view alignmentName(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Right: return "right";
    case Alignment::Centre: return "center";
    case Alignment::Left: break;
    }
    return "left";
}

} // namespace namoro::window
