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

} // namespace Pictures
