#pragma once

#include <cstdint>
#include <span>

namespace namoro::window {

// One code of code page 932 (a byte, or lead byte << 8 | trail byte) and its character.
struct CodePage932Entry {
    std::uint16_t code;
    std::uint16_t unicode;
};

// Every code the code page decodes, sorted by code; generated at build time.
std::span<const CodePage932Entry> codePage932Table();
// The codes, sorted, whose character the code page writes back as another code (the NEC and
// IBM duplicates): each decodes like its standard twin.
std::span<const std::uint16_t> codePage932OtherForms();

} // namespace namoro::window
