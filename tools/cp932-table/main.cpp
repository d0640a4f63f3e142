// Writes the code page 932 table the game reads its layout texts with, taken from the build
// machine's iconv, so the model needs no iconv of its own: a browser's C library has none for
// this code page. Usage: cp932-table OUTPUT.cpp

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iconv.h>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace {

struct IconvCloser {
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using Iconv = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

Iconv openIconv(const char* to, const char* from)
{
    const iconv_t cd = iconv_open(to, from);
    return Iconv(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

// The one character `bytes` decodes to, if it decodes to exactly one in the Basic Multilingual Plane.
std::optional<std::uint16_t> decode(iconv_t cd, const std::vector<char>& bytes)
{
    std::vector<char> in = bytes;
    char out[16];
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
        sizeof out - outLeft != 4)
        return std::nullopt;
    const auto* u = reinterpret_cast<const unsigned char*>(out);
    const std::uint32_t cp = u[0] | u[1] << 8 | u[2] << 16 | std::uint32_t(u[3]) << 24;
    if (cp > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(cp);
}

std::optional<std::uint16_t> encode(iconv_t cd, std::uint16_t unicode)
{
    char in[4] = {char(unicode & 0xFF), char(unicode >> 8), 0, 0};
    unsigned char out[8];
    char* inPtr = in;
    std::size_t inLeft = sizeof in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
        return std::nullopt;
    const std::size_t n = sizeof out - outLeft;
    if (n == 1)
        return out[0];
    if (n == 2)
        return static_cast<std::uint16_t>(out[0] << 8 | out[1]);
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: cp932-table OUTPUT.cpp\n";
        return 2;
    }
    const Iconv toUnicodeHandle = openIconv("UTF-32LE", "CP932");
    const Iconv fromUnicodeHandle = openIconv("CP932", "UTF-32LE");
    const iconv_t toUnicode = toUnicodeHandle.get();
    const iconv_t fromUnicode = fromUnicodeHandle.get();
    if (!toUnicode || !fromUnicode) {
        std::cerr << "cp932-table: this system's iconv has no CP932\n";
        return 1;
    }
    std::map<std::uint16_t, std::uint16_t> table; // code -> character
    for (int b = 0; b < 0x100; ++b) {
        if (const auto c = decode(toUnicode, {char(b)}))
            table[std::uint16_t(b)] = *c;
    }
    for (int lead = 0x80; lead < 0x100; ++lead) {
        if (table.count(std::uint16_t(lead)))
            continue;
        for (int trail = 0; trail < 0x100; ++trail) {
            if (const auto c = decode(toUnicode, {char(lead), char(trail)}))
                table[std::uint16_t(lead << 8 | trail)] = *c;
        }
    }
    std::vector<std::uint16_t> otherForms; // codes whose character is written back as another code
    for (const auto& [code, unicode] : table) {
        if (encode(fromUnicode, unicode) != code)
            otherForms.push_back(code);
    }

    std::ofstream out(argv[1]);
    out << "// Generated at build time by cp932-table from the build machine's iconv; not edited by hand.\n"
           "#include \"layout/CodePage932Table.h\"\n\nnamespace namoro::window {\nnamespace {\n\n"
           "constexpr CodePage932Entry kTable[] = {\n";
    for (const auto& [code, unicode] : table)
        out << "    {0x" << std::hex << code << ", 0x" << unicode << "},\n";
    out << "};\n\nconstexpr std::uint16_t kOtherForms[] = {\n";
    for (const auto code : otherForms)
        out << "    0x" << std::hex << code << ",\n";
    out << "};\n\n} // namespace\n\n"
           "std::span<const CodePage932Entry> codePage932Table() { return kTable; }\n"
           "std::span<const std::uint16_t> codePage932OtherForms() { return kOtherForms; }\n\n"
           "} // namespace namoro::window\n";
    std::cerr << "cp932-table: " << std::dec << table.size() << " codes, " << otherForms.size()
              << " written back as another code\n";
    return out ? 0 : 1;
}
