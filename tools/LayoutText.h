#pragma once

#include "runtime/Expected.h"
#include "layout/LayoutDescription.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace namoro::tools {

// Turns a `picture-file` path into GIF bytes; the compiler passes one that reads XPM files.
using PictureLoader = std::function<runtime::Expected<std::vector<std::uint8_t>, std::string>(const std::string& path)>;

// The readable layout: one record per block, "kind index name" ... "end", a property a line,
// texts in double quotes (\" \\ and \xHH inside), a name bare or quoted; a byte-order mark
// before it is skipped. The error names the line and the property.
runtime::Expected<window::LayoutDescription, std::string> parseLayoutText(std::string_view text,
                                                                          const PictureLoader& loadPicture);

// Prints a description in the same language; pictures come out as `gif-hex` lines, so the
// printed text compiles back to the same stream.
std::string printLayoutText(const window::LayoutDescription& layout);

// Bytes as the layout text writes them: \xHH each.
std::string escapeBytes(std::string_view bytes);

// A code page 932 text, such as a stored name in an error message, as UTF-8 that reads as the
// name does: each character as itself, and each control character or byte that is no
// character as \xHH, in its place.
std::string readableShiftJis(std::string_view shiftJis);

} // namespace namoro::tools
