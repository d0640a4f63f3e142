#pragma once

#include <array>
#include <string_view>

namespace namoro::window {

// The keys a player knows, for both front ends. They are bound to the window, not to the menu
// entries, which would show them: the menu looks as the layout stores it.
struct CommandKey {
    std::string_view entry, key; // a menu command's control name; its key in Qt's portable text,
                                 // which for a key alone is also the browser's name for it
    bool onPage;                 // Ctrl+Q stays the browser's, which quits with it
};
inline constexpr std::array kCommandKeys{CommandKey{"MenuStart", "F2", true}, CommandKey{"MenuEnd", "Ctrl+Q", false}};

// Opens the menu bar's first menu, as on GNOME.
inline constexpr std::string_view kMenuBarKey = "F10";

} // namespace namoro::window
