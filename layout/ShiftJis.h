#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace namoro::window {

// The stored layout keeps its texts in code page 932; the program works in UTF-8. The code page
// comes from the model's own table, so every build reads it alike.

// Each character in its standard code; nothing for a character the code page lacks.
std::optional<std::string> utf8ToShiftJis(std::string_view utf8);

// Every code the code page has reads as its character, the NEC and IBM duplicates as their
// standard twins; nothing for bytes that are no code.
std::optional<std::string> shiftJisToUtf8(std::string_view shiftJis);

struct ShiftJisCharacter {
    std::string_view bytes;
    std::string utf8;
    bool standard; // the code the character is written back as; false for a duplicate
};
std::optional<std::vector<ShiftJisCharacter>> splitShiftJis(std::string_view shiftJis);

} // namespace namoro::window
