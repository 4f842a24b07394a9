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
    switch (value_) {
    case 2:
        return stored.mirrored(true, false);
    case 3:
        return stored.mirrored(true, true);
    case 4:
        return stored.mirrored(false, true);
    case 5: // transposed: mirrored left to right, then a quarter anticlockwise
        return quarterTurn(stored.mirrored(true, false), false);
    case 6:
        return quarterTurn(stored, true);
    case 7: // mirrored left to right, then a quarter clockwise
        return quarterTurn(stored.mirrored(true, false), true);
    case 8:
        return quarterTurn(stored, false);
    default:
        return stored;
    }
}

} // namespace Pictures
