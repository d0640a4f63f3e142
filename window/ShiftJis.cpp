#include "ShiftJis.h"

#include <cerrno>
#include <iconv.h>
#include <memory>

namespace namoro::window {
namespace {

struct IconvCloser {
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

std::optional<std::string> convert(std::string_view input, const char* to, const char* from)
{
    const iconv_t raw = iconv_open(to, from);
    if (raw == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    const IconvHandle cd(raw);

    std::string in(input);
    std::string out(input.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
        return std::nullopt;
    if (iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

// Some characters have two code page 932 forms (NEC and IBM extensions), and some Unicode
// characters map to a code page 932 one that maps back to another: a text converts only when
// it converts back unchanged, so what is read writes back byte for byte and the other way round.
std::optional<std::string> strictConvert(std::string_view input, const char* to, const char* from)
{
    auto output = convert(input, to, from);
    if (!output || convert(*output, from, to) != input)
        return std::nullopt;
    return output;
}

} // namespace

std::optional<std::string> utf8ToShiftJis(std::string_view utf8) { return strictConvert(utf8, "CP932", "UTF-8"); }

std::optional<std::string> shiftJisToUtf8(std::string_view shiftJis) { return strictConvert(shiftJis, "UTF-8", "CP932"); }

} // namespace namoro::window
