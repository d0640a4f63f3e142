// Every item picture in the embedded layout is a GIF89a laid out byte for byte alike:
// the same header, colour table, control extension and single image, nothing more.

#include "EmbeddedPictures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace {

using namoro::tools::ItemPicture;

const std::vector<ItemPicture>& pictures() { return embeddedPictures(); }

int word(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8;
}

class GifFormatTest : public testing::TestWithParam<int> {
protected:
    const ItemPicture& item() const { return pictures().at(static_cast<std::size_t>(GetParam() - 1)); }
};

TEST_P(GifFormatTest, HeaderScreenAndColourTable)
{
    ASSERT_EQ(pictures().size(), 17u);
    const std::vector<std::uint8_t>& gif = item().gif;
    ASSERT_GT(gif.size(), 13u + 768u);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
    EXPECT_EQ(word(gif, 6), item().picture.width);
    EXPECT_EQ(word(gif, 8), item().picture.height);
    EXPECT_EQ(gif[10], 0x87);   // global table of 256 entries, colour resolution 0, not sorted
    EXPECT_EQ(gif[11], 0);      // background index
    EXPECT_EQ(gif[12], 0);      // no aspect ratio

    constexpr std::uint8_t levels[] = {0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF};
    for (int entry = 0; entry < 256; ++entry) {
        const std::size_t at = 13 + 3 * static_cast<std::size_t>(entry);
        const bool cube = entry < 216;
        EXPECT_EQ(gif[at], cube ? levels[entry / 36] : 0) << "entry " << entry << " red";
        EXPECT_EQ(gif[at + 1], cube ? levels[entry / 6 % 6] : 0) << "entry " << entry << " green";
        EXPECT_EQ(gif[at + 2], cube ? levels[entry % 6] : 0) << "entry " << entry << " blue";
    }
}

TEST_P(GifFormatTest, OneControlExtensionOneImageThenTheTrailer)
{
    ASSERT_EQ(pictures().size(), 17u);
    const std::vector<std::uint8_t>& gif = item().gif;
    std::size_t at = 13 + 768;
    ASSERT_GT(gif.size(), at + 8 + 11);

    // Graphic control: transparent flag and user-input flag, no disposal, delay 0, index 216.
    const std::vector<std::uint8_t> control(gif.begin() + static_cast<std::ptrdiff_t>(at),
                                            gif.begin() + static_cast<std::ptrdiff_t>(at + 8));
    EXPECT_EQ(control, (std::vector<std::uint8_t>{0x21, 0xF9, 0x04, 0x03, 0x00, 0x00, 216, 0x00}));
    at += 8;

    ASSERT_EQ(gif[at], 0x2C) << "an image descriptor follows the control extension";
    EXPECT_EQ(word(gif, at + 1), 0);
    EXPECT_EQ(word(gif, at + 3), 0);
    EXPECT_EQ(word(gif, at + 5), item().picture.width);
    EXPECT_EQ(word(gif, at + 7), item().picture.height);
    EXPECT_EQ(gif[at + 9], 0x00);   // no local table, not interlaced
    EXPECT_EQ(gif[at + 10], 8);     // LZW minimum code size
    at += 11;

    // The image's data sub-blocks, up to the empty block that closes them.
    while (at < gif.size() && gif[at] != 0)
        at += 1 + gif[at];
    ASSERT_LT(at + 1, gif.size()) << "the image data run past the end";
    EXPECT_EQ(gif[at + 1], 0x3B) << "something other than the trailer follows the image";
    EXPECT_EQ(at + 2, gif.size()) << "bytes follow the trailer";
}

INSTANTIATE_TEST_SUITE_P(Items, GifFormatTest, testing::Range(1, 18),
                         [](const auto& info) { return "Item" + std::to_string(info.param); });

} // namespace
