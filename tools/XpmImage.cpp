#include "XpmImage.h"

#include <charconv>
#include <map>
#include <optional>
#include <sstream>

namespace namoro::tools {
namespace {

// The quoted strings of an XPM file, in order, with their line numbers.
std::vector<std::pair<int, std::string>> quotedStrings(std::string_view text)
{
    std::vector<std::pair<int, std::string>> strings;
    int line = 1;
    bool inComment = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n')
            ++line;
        if (inComment) {
            if (c == '*' && i + 1 < text.size() && text[i + 1] == '/') {
                inComment = false;
                ++i;
            }
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            inComment = true;
            ++i;
        } else if (c == '"') {
            const std::size_t end = text.find('"', i + 1);
            if (end == std::string_view::npos)
                break;
            strings.emplace_back(line, std::string(text.substr(i + 1, end - i - 1)));
            i = end;
        }
    }
    return strings;
}

runtime::Unexpected<std::string> failure(int line, const std::string& problem)
{
    return {"line " + std::to_string(line) + ": " + problem};
}

} // namespace

std::optional<std::uint8_t> cubeIndex(std::uint32_t rgb)
{
    int levels[3];
    for (int channel = 0; channel < 3; ++channel) {
        const int value = static_cast<int>((rgb >> (16 - 8 * channel)) & 0xFF);
        if (value % 0x33 != 0)
            return std::nullopt;
        levels[channel] = value / 0x33;
    }
    return static_cast<std::uint8_t>(36 * levels[0] + 6 * levels[1] + levels[2]);
}

runtime::Expected<IndexedImage, std::string> parseXpm(std::string_view text)
{
    const auto strings = quotedStrings(text);
    if (strings.empty())
        return failure(1, "no XPM values line");

    std::istringstream values(strings[0].second);
    IndexedImage image;
    int colours = 0, charsPerPixel = 0;
    if (!(values >> image.width >> image.height >> colours >> charsPerPixel) || image.width <= 0 || image.height <= 0 ||
        colours <= 0 || charsPerPixel <= 0)
        return failure(strings[0].first, "values line is not \"width height colours chars-per-pixel\"");
    const auto cpp = static_cast<std::size_t>(charsPerPixel);
    if (strings.size() != 1 + static_cast<std::size_t>(colours) + static_cast<std::size_t>(image.height))
        return failure(strings[0].first, "expected " + std::to_string(colours) + " colour lines and " +
                                             std::to_string(image.height) + " pixel rows");

    std::map<std::string, std::uint8_t> palette;
    for (int i = 1; i <= colours; ++i) {
        const auto& [line, entry] = strings[static_cast<std::size_t>(i)];
        if (entry.size() < cpp)
            return failure(line, "colour line too short");
        const std::string key = entry.substr(0, cpp);
        std::istringstream rest(entry.substr(cpp));
        std::string visual, value;
        if (!(rest >> visual >> value) || visual != "c")
            return failure(line, "colour line is not \"<key> c <colour>\"");
        if (value == "None" || value == "none") {
            palette[key] = kTransparentIndex;
            continue;
        }
        std::uint32_t rgb = 0;
        if (value.size() != 7 || value[0] != '#' ||
            std::from_chars(value.data() + 1, value.data() + 7, rgb, 16).ptr != value.data() + 7)
            return failure(line, "colour " + value + " is not None or #RRGGBB");
        const auto index = cubeIndex(rgb);
        if (!index)
            return failure(line, "colour " + value + " is not in the 6x6x6 colour cube");
        palette[key] = *index;
    }

    image.indices.reserve(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        const auto& [line, row] = strings[static_cast<std::size_t>(1 + colours + y)];
        if (row.size() != static_cast<std::size_t>(image.width) * cpp)
            return failure(line, "pixel row has " + std::to_string(row.size() / cpp) + " pixels, expected " +
                                     std::to_string(image.width));
        for (std::size_t x = 0; x < row.size(); x += cpp) {
            const auto it = palette.find(row.substr(x, cpp));
            if (it == palette.end())
                return failure(line, "pixel \"" + row.substr(x, cpp) + "\" has no colour line");
            image.indices.push_back(it->second);
        }
    }
    return image;
}

} // namespace namoro::tools
