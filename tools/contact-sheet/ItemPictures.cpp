#include "ItemPictures.h"

#include "layout/LayoutReader.h"

#include <charconv>
#include <optional>

namespace namoro::tools {

runtime::Expected<std::vector<ItemPicture>, std::string> itemPictures(std::span<const std::uint8_t> stream)
{
    const auto layout = window::readLayout(stream);
    if (!layout)
        return runtime::Unexpected{layout.error().message()};

    std::vector<std::optional<ItemPicture>> found(kItemCount);
    for (const auto& element : layout->elements) {
        const auto* record = std::get_if<window::PictureRecord>(&element.body);
        constexpr std::string_view prefix = "Image";
        if (!record || !record->gif || !element.name.starts_with(prefix))
            continue;
        int item = 0;
        const char* first = element.name.data() + prefix.size();
        const char* last = element.name.data() + element.name.size();
        const auto [end, error] = std::from_chars(first, last, item);
        if (error != std::errc{} || end != last || item < 1 || item > kItemCount)
            continue;
        auto picture = window::decodeGif(*record->gif);
        if (!picture)
            return runtime::Unexpected{element.name + ": " + picture.error().field + " at offset " +
                                       std::to_string(picture.error().offset) + ": " + picture.error().problem};
        found[static_cast<std::size_t>(item - 1)] = ItemPicture{item, *record->gif, std::move(*picture)};
    }

    std::vector<ItemPicture> pictures;
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (!found[i])
            return runtime::Unexpected{"Image" + std::to_string(i + 1) + " has no picture"};
        pictures.push_back(std::move(*found[i]));
    }
    return pictures;
}

} // namespace namoro::tools
