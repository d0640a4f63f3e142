#pragma once

#include <QIcon>
#include <QString>

namespace namoro::packaging {

// The program icon's three images, compiled into the program as Qt resources.
inline constexpr auto kIcon32x2 = ":/namoro/icon/icon32-2.xpm";    // 32 x 32, 2 colours
inline constexpr auto kIcon32x16 = ":/namoro/icon/icon32-16.xpm";  // 32 x 32, 16 colours
inline constexpr auto kIcon16x16 = ":/namoro/icon/icon16-16.xpm";  // 16 x 16, 16 colours

// The window icon: the two 16-colour images. The 2-colour image is only for a
// monochrome display, and a second 32 x 32 entry would compete with the coloured one.
QIcon programIcon();

} // namespace namoro::packaging
