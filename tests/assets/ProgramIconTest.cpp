// The program icon compiled into the game: three images, their sizes and colour counts.

#include "packaging/ProgramIcon.h"

#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QSet>

#include <ostream>

namespace {

// Colours of the image's table that are drawn opaque; the transparent mask is no colour.
int opaqueColourCount(const QImage& image)
{
    int count = 0;
    for (const QRgb colour : image.colorTable())
        count += qAlpha(colour) == 255;
    return count;
}

bool hasTransparentPixels(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 0)
                return true;
    return false;
}

struct IconImage {
    const char* resource;
    int size;
    int colours;
};

void PrintTo(const IconImage& image, std::ostream* out)
{
    *out << image.resource;
}

class ProgramIconImageTest : public testing::TestWithParam<IconImage> {};

TEST_P(ProgramIconImageTest, HasItsSizeColourCountAndMask)
{
    const QImage image(QString::fromLatin1(GetParam().resource));
    ASSERT_FALSE(image.isNull()) << GetParam().resource << " is not in the program";
    EXPECT_EQ(image.size(), QSize(GetParam().size, GetParam().size));
    EXPECT_EQ(opaqueColourCount(image), GetParam().colours);
    EXPECT_TRUE(hasTransparentPixels(image));
}

INSTANTIATE_TEST_SUITE_P(Images, ProgramIconImageTest,
                         testing::Values(IconImage{namoro::packaging::kIcon32x2, 32, 2},
                                         IconImage{namoro::packaging::kIcon32x16, 32, 16},
                                         IconImage{namoro::packaging::kIcon16x16, 16, 16}),
                         [](const auto& info) {
                             return "Size" + std::to_string(info.param.size) + "Colours" +
                                    std::to_string(info.param.colours);
                         });

TEST(ProgramIcon, TwoColourImageIsBlackAndWhite)
{
    const QImage image(QString::fromLatin1(namoro::packaging::kIcon32x2));
    QSet<QRgb> used;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                used.insert(image.pixel(x, y));
    EXPECT_EQ(used, (QSet<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
}

TEST(ProgramIcon, WindowIconOffersTheColouredImagesAtBothSizes)
{
    const QIcon icon = namoro::packaging::programIcon();
    const auto sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    const QImage large(QString::fromLatin1(namoro::packaging::kIcon32x16));
    EXPECT_EQ(icon.pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32),
              large.convertToFormat(QImage::Format_ARGB32));
}

} // namespace
