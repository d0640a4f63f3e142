#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace namoro::window {

// The stored layout keeps its texts in code page 932; the program works in UTF-8.
// Both return nothing for text that has no form in the other encoding, or none that converts
// back to the same text.
std::optional<std::string> utf8ToShiftJis(std::string_view utf8);
std::optional<std::string> shiftJisToUtf8(std::string_view shiftJis);

} // namespace namoro::window
