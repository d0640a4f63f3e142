// The 17 item pictures as the game decodes them from its embedded layout: size, colours,
// transparency and the holes inside the figures.

#include "EmbeddedPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <map>
#include <ostream>
#include <queue>
#include <string>
#include <vector>

namespace {

using namoro::tools::ItemPicture;

struct ItemRow {
    int item;
    int width;
    int height;
    std::vector<std::uint32_t> colours;   // RRGGBB, most used first
};

const std::vector<ItemRow> kItems = {
    {1, 46, 43, {0x00FF00, 0x000000}},
    {2, 46, 37, {0xFFFF00, 0x000000, 0xFF0000}},
    {3, 74, 44, {0xFFFF00, 0x000000}},
    {4, 43, 38, {0xFFFF00, 0x000000}},
    {5, 53, 37, {0xFFFF00, 0x000000}},
    {6, 48, 40, {0xFFFF00, 0x000000}},
    {7, 47, 46, {0xFFFF00, 0x000000}},
    {8, 41, 50, {0xFFFF00, 0x000000}},
    {9, 54, 51, {0xFFFF00, 0x000000}},
    {10, 57, 47, {0xFFFF00, 0x000000, 0xFF0000}},
    {11, 56, 45, {0x000000, 0xFFFF00}},
    {12, 42, 43, {0xFFFF00, 0x000000, 0x999999, 0x666666}},
    {13, 54, 40, {0xFF00FF, 0x000000}},
    {14, 49, 43, {0xFF00FF, 0x000000}},
    {15, 46, 36, {0xFF0000, 0x000000}},
    {16, 43, 32, {0xCCCCCC, 0x000000, 0x999999}},
    {17, 44, 41, {0x000000, 0xFF9933, 0xFF6633, 0x00FFFF, 0xFF9966, 0xFF6666}},
};

void PrintTo(const ItemRow& row, std::ostream* out)
{
    *out << "item " << row.item;
}

constexpr std::uint8_t kTransparent = 216;

const std::vector<ItemPicture>& pictures() { return embeddedPictures(); }

// The colour-table entry of a cube index, as opaque ARGB.
std::uint32_t cubeColour(std::uint8_t index)
{
    constexpr std::uint32_t levels[] = {0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF};
    return 0xFF000000u | levels[index / 36] << 16 | levels[index / 6 % 6] << 8 | levels[index % 6];
}

// Opaque colours by how many pixels use them, most used first.
std::vector<std::pair<std::uint32_t, int>> colourUse(const namoro::window::Picture& picture)
{
    std::map<std::uint32_t, int> counts;
    for (const std::uint32_t argb : picture.argb)
        if (argb >> 24 != 0)
            ++counts[argb & 0xFFFFFF];
    std::vector<std::pair<std::uint32_t, int>> use(counts.begin(), counts.end());
    std::stable_sort(use.begin(), use.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    return use;
}

// Transparent pixels that no 4-connected path of transparent pixels joins to the border.
int enclosedTransparentPixels(const namoro::window::Picture& picture)
{
    const int w = picture.width;
    const int h = picture.height;
    const auto at = [w](int x, int y) { return static_cast<std::size_t>(y * w + x); };
    std::vector<bool> reached(picture.indices.size(), false);
    std::queue<std::pair<int, int>> open;
    const auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h || reached[at(x, y)] || picture.indices[at(x, y)] != kTransparent)
            return;
        reached[at(x, y)] = true;
        open.emplace(x, y);
    };
    for (int x = 0; x < w; ++x) {
        visit(x, 0);
        visit(x, h - 1);
    }
    for (int y = 0; y < h; ++y) {
        visit(0, y);
        visit(w - 1, y);
    }
    while (!open.empty()) {
        const auto [x, y] = open.front();
        open.pop();
        visit(x + 1, y);
        visit(x - 1, y);
        visit(x, y + 1);
        visit(x, y - 1);
    }
    int enclosed = 0;
    for (std::size_t i = 0; i < picture.indices.size(); ++i)
        enclosed += picture.indices[i] == kTransparent && !reached[i];
    return enclosed;
}

class ItemPictureTest : public testing::TestWithParam<ItemRow> {
protected:
    const ItemPicture& item() const { return pictures().at(static_cast<std::size_t>(GetParam().item - 1)); }
};

TEST_P(ItemPictureTest, HasItsExactSize)
{
    ASSERT_EQ(pictures().size(), kItems.size());
    EXPECT_EQ(item().item, GetParam().item);
    EXPECT_EQ(item().picture.width, GetParam().width);
    EXPECT_EQ(item().picture.height, GetParam().height);
}

TEST_P(ItemPictureTest, UsesExactlyItsColoursMostUsedFirst)
{
    ASSERT_EQ(pictures().size(), kItems.size());
    const auto use = colourUse(item().picture);
    std::vector<std::uint32_t> colours;
    for (std::size_t i = 0; i < use.size(); ++i) {
        colours.push_back(use[i].first);
        if (i > 0) {
            EXPECT_LT(use[i].second, use[i - 1].second)
                << std::hex << use[i].first << " is used as often as " << use[i - 1].first;
        }
    }
    EXPECT_EQ(colours, GetParam().colours);
}

TEST_P(ItemPictureTest, DrawsOnTheCubeWithOnlyIndex216Transparent)
{
    ASSERT_EQ(pictures().size(), kItems.size());
    const auto& picture = item().picture;
    ASSERT_EQ(picture.indices.size(), static_cast<std::size_t>(picture.width * picture.height));
    int transparent = 0;
    for (std::size_t i = 0; i < picture.indices.size(); ++i) {
        const std::uint8_t index = picture.indices[i];
        ASSERT_LE(index, kTransparent) << "pixel " << i;
        if (index == kTransparent) {
            ++transparent;
            EXPECT_EQ(picture.argb[i] >> 24, 0u) << "pixel " << i;
        } else {
            // Index 0 among them: opaque black, although index 216's table entry is black too.
            EXPECT_EQ(picture.argb[i], cubeColour(index)) << "pixel " << i;
        }
    }
    EXPECT_GT(transparent, 0) << "the figure has no transparent surroundings";
}

TEST_P(ItemPictureTest, HasAHoleEnclosedByTheFigure)
{
    ASSERT_EQ(pictures().size(), kItems.size());
    EXPECT_GT(enclosedTransparentPixels(item().picture), 0);
}

INSTANTIATE_TEST_SUITE_P(Items, ItemPictureTest, testing::ValuesIn(kItems),
                         [](const auto& info) { return "Item" + std::to_string(info.param.item); });

TEST(ItemPicture, Item3FaceStandsCentredWithMarginsLeftAndRight)
{
    ASSERT_EQ(pictures().size(), kItems.size());
    const auto& picture = pictures()[2].picture;
    int first = picture.width;
    int last = -1;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.opaqueAt(x, y)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    ASSERT_LE(first, last);
    EXPECT_GT(first, 0) << "the face touches the left edge";
    EXPECT_LT(last, picture.width - 1) << "the face touches the right edge";
    const int faceWidth = last - first + 1;
    EXPECT_GE(faceWidth, 20);
    EXPECT_LE(faceWidth, 32);
    EXPECT_LE(std::abs(first - (picture.width - 1 - last)), 2) << "the face is off centre";
}

} // namespace
