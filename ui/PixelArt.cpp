#include "PixelArt.h"

#include <QPainter>
#include <cmath>

namespace namoro::ui {

bool PixelArt::whole(qreal ratio) { return std::abs(ratio - std::round(ratio)) < 1e-6; }

PixelArt::PixelArt(QImage image) : image_(std::move(image)) {}

void PixelArt::draw(QPainter& painter, QPoint topLeft)
{
    if (image_.isNull())
        return;
    const qreal ratio = painter.deviceTransform().m11(); // logical to device pixels
    if (whole(ratio)) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(topLeft, image_);
        return;
    }
    const int whole = int(std::ceil(ratio));
    if (enlarged_.isNull() || enlarged_.devicePixelRatio() != whole) {
        // A transparent margin of one pixel lets the outer blocks blend with what lies behind
        // exactly as inner blocks blend with their neighbours (copy() fills it with zeros).
        const QImage framed = image_.copy(-1, -1, image_.width() + 2, image_.height() + 2);
        enlarged_ = framed.scaled(framed.size() * whole, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        enlarged_.setDevicePixelRatio(whole); // drawn at the picture's own logical size
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(topLeft - QPoint(1, 1), enlarged_);
}

} // namespace namoro::ui
