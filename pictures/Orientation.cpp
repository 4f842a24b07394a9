#include "Orientation.h"

#include <QTransform>

namespace Pictures {

// Tag values by where the stored first row and first column end up:
// 1 top/left, 2 top/right, 3 bottom/right, 4 bottom/left,
// 5 left/top, 6 right/top, 7 right/bottom, 8 left/bottom.
QImage Orientation::uprightImage(QImage stored) const
{
    const auto quarterTurn = [](const QImage& image, bool clockwise) {
        return image.transformed(QTransform().rotate(clockwise ? 90 : -90));
    };
    // Mirrored in place (the image is this call's own), so that only a
    // quarter turn ever holds a second copy.
    const auto mirrored = [&stored](bool horizontally, bool vertically) {
        return std::move(stored).mirrored(horizontally, vertically);
    };
    switch (value_) {
    case 2:
        return mirrored(true, false);
    case 3:
        return mirrored(true, true);
    case 4:
        return mirrored(false, true);
    case 5: // transposed: mirrored left to right, then a quarter anticlockwise
        return quarterTurn(mirrored(true, false), false);
    case 6:
        return quarterTurn(stored, true);
    case 7: // mirrored left to right, then a quarter clockwise
        return quarterTurn(mirrored(true, false), true);
    case 8:
        return quarterTurn(stored, false);
    default:
        return stored;
    }
}

// Each case reads the upright pixel (x, y) back to the stored one, for a
// stored picture of W x H: 2 (W-1-x, y), 3 (W-1-x, H-1-y), 4 (x, H-1-y),
// 5 (y, x), 6 (y, H-1-x), 7 (W-1-y, H-1-x), 8 (W-1-y, x).
QRect Orientation::storedArea(QRect upright, QSize storedSize) const
{
    const int w = storedSize.width();
    const int h = storedSize.height();
    const int left = upright.x();
    const int top = upright.y();
    const int right = upright.x() + upright.width();   // past the last column
    const int bottom = upright.y() + upright.height(); // past the last row
    const auto span = [](int from, int to, int fromY, int toY) { return QRect(from, fromY, to - from, toY - fromY); };
    switch (value_) {
    case 2:
        return span(w - right, w - left, top, bottom);
    case 3:
        return span(w - right, w - left, h - bottom, h - top);
    case 4:
        return span(left, right, h - bottom, h - top);
    case 5:
        return span(top, bottom, left, right);
    case 6:
        return span(top, bottom, h - right, h - left);
    case 7:
        return span(w - bottom, w - top, h - right, h - left);
    case 8:
        return span(w - bottom, w - top, left, right);
    default:
        return upright;
    }
}

} // namespace Pictures
