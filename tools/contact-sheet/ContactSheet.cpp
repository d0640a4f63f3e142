// Renders the 17 item pictures of the embedded layout stream onto one PNG: each on the
// window's lavender background at four times its size, pixel for pixel, above its item number.
//
//   namoro_contact_sheet <out.png>

#include "ItemPictures.h"

#include "assets/EmbeddedLayout.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>

namespace {

using namoro::tools::ItemPicture;

constexpr int kScale = 4;
constexpr int kColumns = 6;
constexpr int kGap = 24;          // around every picture
constexpr int kLabelHeight = 28;
const QColor kBackground(0xC0, 0xC0, 0xFF);   // the game window's background
const QColor kLabelColour(0x20, 0x20, 0x60);

QImage toImage(const namoro::window::Picture& picture)
{
    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            image.setPixel(x, y, picture.argb[static_cast<std::size_t>(y * picture.width + x)]);
    return image;
}

QImage contactSheet(const std::vector<ItemPicture>& items)
{
    int cellWidth = 0;
    int pictureRowHeight = 0;
    for (const auto& item : items) {
        cellWidth = std::max(cellWidth, item.picture.width * kScale + kGap);
        pictureRowHeight = std::max(pictureRowHeight, item.picture.height * kScale);
    }
    const int cellHeight = kGap + pictureRowHeight + kLabelHeight;
    const int rows = (static_cast<int>(items.size()) + kColumns - 1) / kColumns;

    QImage sheet(kColumns * cellWidth + kGap, rows * cellHeight + kGap, QImage::Format_RGB32);
    sheet.fill(kBackground);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    QFont font = painter.font();
    font.setPixelSize(20);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(kLabelColour);

    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto& item = items[i];
        const int cellLeft = kGap / 2 + static_cast<int>(i % kColumns) * cellWidth;
        const int cellTop = kGap + static_cast<int>(i / kColumns) * cellHeight;
        const int width = item.picture.width * kScale;
        const int height = item.picture.height * kScale;
        // Pictures stand on a common baseline, as the row of a sheet would.
        const QRect target(cellLeft + (cellWidth - width) / 2, cellTop + pictureRowHeight - height, width, height);
        painter.drawImage(target, toImage(item.picture));
        painter.drawText(QRect(cellLeft, cellTop + pictureRowHeight, cellWidth, kLabelHeight), Qt::AlignCenter,
                         QStringLiteral("item %1").arg(item.item));
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: namoro_contact_sheet <out.png>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const auto items = namoro::tools::itemPictures(namoro::assets::form1Layout());
    if (!items) {
        std::fprintf(stderr, "namoro_contact_sheet: %s\n", items.error().c_str());
        return 1;
    }
    if (!contactSheet(*items).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "namoro_contact_sheet: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
