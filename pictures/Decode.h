#pragma once

#include <QImage>
#include <QSize>

#include <optional>
#include <string>

// Turning a picture file into an image: the one way every drawing of the
// program gets its pixels. It knows no widget and keeps no state between
// calls, so workers may call it at the same time. Paths are the file's native
// name, as bytes: Linux file names need not be UTF-8.
namespace Pictures {

// A decoded picture: the pixels, upright and at the size asked for, and the
// upright size in pixels of the picture in the file.
struct Picture {
    QImage image;
    QSize fileSize;
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
// fitted to the screen's device pixels, or the file's own size (longSide 0)
// for 1:1; a picture too large for the decoding limits at that size is
// decoded at the largest size they allow instead of failing, so its image is
// then smaller than asked.
enum class Purpose { Thumbnail, View, Screen };

struct Decoded {
    std::optional<Picture> picture;
    Failure failure = Failure::None;
    explicit operator bool() const { return picture.has_value(); }
};

// Decodes a JPEG, BMP or GIF file (chosen by content, whatever its name) so
// that the longer side of the upright picture is longSide pixels, or the
// file's own size when that is smaller (0: the file's own size). The picture
// is shown upright as its orientation tag says, and in sRGB when the file
// carries a colour profile.
Decoded Decode(const std::string& path, int longSide, Purpose purpose = Purpose::View);

// The size at which a picture of fileSize is decoded for a longer side of at
// most longSide pixels (fileSize itself when it is already small enough).
QSize DecodeSize(QSize fileSize, int longSide);

} // namespace Pictures
