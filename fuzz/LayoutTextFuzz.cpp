// Any text through the layout compiler: refused with a message, or a description whose stream
// reads back as itself and whose printed text compiles back to it.

#include "FuzzCheck.h"

#include "tools/LayoutText.h"
#include "tools/LayoutWriter.h"
#include "layout/LayoutReader.h"

#include <cstdint>
#include <string_view>
#include <vector>

using namespace namoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A picture file's "content" is its name, so picture-file lines reach the writer too.
    const auto nameAsPicture = [](const std::string& path) -> runtime::Expected<std::vector<std::uint8_t>, std::string> {
        return std::vector<std::uint8_t>(path.begin(), path.end());
    };
    const auto layout =
        tools::parseLayoutText(std::string_view(reinterpret_cast<const char*>(data), size), nameAsPicture);
    if (!layout) {
        fuzz::check(!layout.error().empty(), "a refused text says why");
        return 0;
    }
    const auto stream = tools::writeLayout(*layout);
    if (!stream) {
        fuzz::check(!stream.error().field.empty(), "a refused description names its field");
        return 0;
    }
    const auto read = window::readLayout(*stream);
    fuzz::check(read.has_value(), "every stream the writer makes is read");
    fuzz::check(*read == *layout, "every stream the writer makes reads back as what was written");

    const auto reprinted = tools::parseLayoutText(tools::printLayoutText(*layout), nameAsPicture);
    fuzz::check(reprinted.has_value() && *reprinted == *layout, "the printed text compiles back to the description");
    return 0;
}
