#pragma once

#include <string_view>

namespace namoro::ui::accessible {

// What a screen reader says about the window, in the game's own language like its captions.
// The title bar keeps the stored caption; assistive technology hears the game's name.
inline constexpr std::string_view kGameName = "ナモロゲーム";
inline constexpr std::string_view kPlayAreaName = "ゲーム画面";
inline constexpr std::string_view kHowToPlay =
    "F2 キーかメニューのスタートで始まります。落ちてくる絵をクリックすると得点が増減します。"
    "残り時間は 60 秒、ランクは得点で決まります。";
inline constexpr std::string_view kGameOver = "時間切れ、ゲームオーバーです。";
inline constexpr std::string_view kCaptionRole = "ランク";

// The boxes by their control names: the layout gives them no caption of their own.
inline constexpr std::string_view boxName(std::string_view control)
{
    if (control == "Text1")
        return "得点";
    if (control == "Text2")
        return "残り時間";
    return {};
}

} // namespace namoro::ui::accessible
