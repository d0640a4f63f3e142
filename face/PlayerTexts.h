#pragma once

#include <string>
#include <string_view>

namespace namoro::window::texts {

// What the player reads or hears beyond the stored layout, in the game's own language like its
// captions; both front ends take them from here. The title bar keeps the stored caption;
// assistive technology hears the game's name.
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

// The runtime error report: the game's name over the error's number and message, numbered as
// the classic runtime numbers them.
inline constexpr std::string_view kErrorTitle = kGameName;
inline std::string errorText(int number, std::string_view message)
{
    return "実行時エラー '" + std::to_string(number) + "':\n\n" + std::string(message);
}

} // namespace namoro::window::texts
