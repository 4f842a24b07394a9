#pragma once

#include "PictureInfo.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <optional>
#include <string>

// Turning a picture file into an image: the one way every drawing of the
// program gets its pixels. It knows no widget and keeps no state between
// calls, so workers may call it at the same time. Paths are the file's native
// name, as bytes: Linux file names need not be UTF-8.
namespace Pictures {

// A decoded picture: the pixels, upright and at the size asked for, the
// upright size in pixels of the picture in the file and the file's size in
// bytes. For the full screen it also carries what the file's EXIF block says
// of how the picture was taken, read with the header the decode read anyway,
// so that showing it never reads the file again.
struct Picture {
    QImage image;
    QSize fileSize;
    qint64 fileBytes = -1;
    PictureInfo info{};
    // The part of the upright picture (file pixels) the image shows: all of
    // it, except for DecodeArea().
    QRect area{};
};

// Why a file gave no picture.
enum class Failure {
    None,
    Unreadable,  // missing, not a regular file, not permitted, or a read error
    NotAPicture, // not a JPEG, BMP or GIF by its content
    Damaged,     // one of those, but its data cannot be decoded
    TooLarge,    // would need more memory or time than one picture may take
    TooSlow,     // its decoding ran past the time one picture may take
    Cancelled,   // no longer wanted: the pipeline stopped its decode
};

// A short English description of a failure, for logs.
const char* FailureText(Failure failure);

// What the picture is for. A thumbnail may come from a camera's embedded
// preview or from a progressive JPEG's first scans, when those cover its size.
// View is the enlarged view in the window. Screen is the full-screen view:
// fitted to the screen's device pixels, or the file's own size (an empty box)
// for 1:1; a picture too large for the decoding limits at that size is
// decoded at the largest size they allow instead of failing, so its image is
// then smaller than asked.
enum class Purpose { Thumbnail, View, Screen };

struct Decoded {
    std::optional<Picture> picture;
    Failure failure = Failure::None;
    explicit operator bool() const { return picture.has_value(); }
};

// The box a picture is fitted into whose longer side may be longSide pixels:
// a square, or an empty box (the picture's own size) for 0.
inline QSize SquareBox(int longSide)
{
    return longSide > 0 ? QSize(longSide, longSide) : QSize();
}

// Decodes a JPEG, BMP or GIF file (chosen by content, whatever its name) so
// that the upright picture fits box (device pixels) with its own shape, or at
// the file's own size when that is smaller or the box is empty. The picture
// is shown upright as its orientation tag says, and in sRGB when the file
// carries a colour profile.
Decoded Decode(const std::string& path, QSize box, Purpose purpose = Purpose::View);
inline Decoded Decode(const std::string& path, int longSide, Purpose purpose = Purpose::View)
{
    return Decode(path, SquareBox(longSide), purpose);
}

// Decodes only the part `area` of the upright picture (file pixels; cut to
// the picture), fitted into box, for the full screen's zoomed views: a JPEG
// decodes just that part (so any picture its header allows can be seen
// pixel for pixel), the other formats are decoded whole and cut. The
// picture's area is the part its image shows.
Decoded DecodeArea(const std::string& path, QRect area, QSize box);

// The size at which a picture of fileSize is decoded to fit box (fileSize
// itself when it already fits, or the box is empty); never below one pixel.
QSize DecodeSize(QSize fileSize, QSize box);
inline QSize DecodeSize(QSize fileSize, int longSide)
{
    return DecodeSize(fileSize, SquareBox(longSide));
}

} // namespace Pictures
