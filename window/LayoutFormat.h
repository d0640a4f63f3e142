#pragma once

#include <cstdint>

namespace namoro::window::format {

// Byte values of the stored layout stream shared by its reader and writer.

inline constexpr std::uint8_t kEndOfRecord = 0xFF;
inline constexpr std::uint8_t kFirstElement = 0x01;
inline constexpr std::uint8_t kNextControl = 0x03;
inline constexpr std::uint8_t kMenuEntry = 0x02;
inline constexpr std::uint8_t kOpensMenu = 0x05;           // after kMenuEntry: a menu on the bar
inline constexpr std::uint8_t kClosing[] = {0x03, 0x03, 0x04};

inline constexpr char kPictureTag[] = {'l', 't', 0, 0};
inline constexpr std::uint32_t kPictureHeaderSize = 8;     // tag and GIF length

namespace window {
inline constexpr std::uint8_t kCaption = 1;
inline constexpr std::uint8_t kBackColour = 3;
inline constexpr std::uint8_t kUnreadText = 0x19;
inline constexpr std::uint8_t kUnreadValue = 0x23;
inline constexpr std::uint8_t kUnreadName = 0x24;
inline constexpr std::uint8_t kInnerArea = 0x35;
} // namespace window

namespace timer {
inline constexpr std::uint8_t kInterval = 3;
inline constexpr std::uint8_t kLayoutX = 7;
inline constexpr std::uint8_t kLayoutY = 8;
} // namespace timer

namespace textbox {
inline constexpr std::uint8_t kRect = 4;
inline constexpr std::uint8_t kTabIndex = 0x12;
} // namespace textbox

namespace picture {
inline constexpr std::uint8_t kPicture = 2;
inline constexpr std::uint8_t kRect = 3;
} // namespace picture

namespace label {
inline constexpr std::uint8_t kBackColour = 3;
inline constexpr std::uint8_t kForeColour = 4;
inline constexpr std::uint8_t kRect = 5;
inline constexpr std::uint8_t kTabIndex = 0x12;
inline constexpr std::uint8_t kAlignment = 0x14;
inline constexpr std::uint8_t kFont = 0x25;
} // namespace label

namespace menu {
inline constexpr std::uint8_t kCaption = 3;
inline constexpr std::uint8_t kUnreadFlag = 7;
} // namespace menu

} // namespace namoro::window::format
