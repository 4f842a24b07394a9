#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

namespace Pictures {

// How a camera stored a picture relative to upright: the EXIF orientation
// tag, 1 (as stored) to 8. Values 5 to 8 turn the picture a quarter, so the
// stored width is the upright height.
class Orientation {
public:
    Orientation() = default;
    // Any value outside 1..8 means "as stored".
    explicit Orientation(int exifValue) : value_(exifValue >= 1 && exifValue <= 8 ? exifValue : 1) {}

    int exifValue() const { return value_; }
    bool swapsAxes() const { return value_ >= 5; }
    // The upright size of a stored size, and back (the same swap both ways).
    QSize upright(QSize stored) const { return swapsAxes() ? stored.transposed() : stored; }
    QSize stored(QSize upright) const { return swapsAxes() ? upright.transposed() : upright; }
    // Turning a picture upright makes a copy of it only for a quarter turn;
    // mirroring works in place.
    bool copiesToTurn() const { return swapsAxes(); }
    // The stored image turned upright.
    QImage uprightImage(QImage stored) const;
    // Where a rectangle of the upright picture lies in the stored one of
    // storedSize: turning that part of the stored image upright gives it.
    QRect storedArea(QRect upright, QSize storedSize) const;

private:
    int value_ = 1;
};

} // namespace Pictures
