#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

class QPainter;

namespace namoro::ui {

// A picture drawn at one logical pixel per picture pixel, crisp at any device pixel ratio.
// Whole ratios draw it nearest-neighbour. At a fractional ratio nearest-neighbour blocks would
// alternate between one and two device pixels; instead ("sharp bilinear") the picture is
// enlarged nearest-neighbour by the next whole ratio, then smoothed down to its size on the
// device, so each block keeps its colour inside and only the device pixel it shares with a
// neighbour blends the two. The enlarged copy is kept for its ratio: a paint only draws it.
class PixelArt {
public:
    explicit PixelArt(QImage image);

    void draw(QPainter& painter, QPoint topLeft);

    // What drawing a picture that covers `rect` may change: at a fractional ratio its edge
    // blends into the device pixels it half covers, which reach past its logical rectangle.
    static QRect reach(const QRect& rect, qreal ratio) { return whole(ratio) ? rect : rect.adjusted(-1, -1, 1, 1); }

private:
    static bool whole(qreal ratio);

    QImage image_;     // 1:1, premultiplied
    QImage enlarged_;  // image_ with a transparent margin, at the whole ratio above the last fractional one
};

} // namespace namoro::ui
