#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>
#include <string>

// A decoded picture: the pixels, possibly decoded smaller than the file, and
// the size in pixels that the file itself declares.
struct Picture {
    QImage image;
    QSize fileSize;
};

// Picture decoding for the whole program sits behind these functions. Paths
// are the file's native name, as bytes: Linux names need not be UTF-8.
namespace Pictures {

// Decodes a JPEG, BMP or GIF file. With longSide > 0 the picture is decoded
// so that its longer side is at most longSide pixels: JPEGs through libjpeg's
// DCT scaling, never at full size. Returns nothing for a missing, unreadable,
// non-regular or undecodable file, and for one whose declared size would need
// an unreasonable amount of memory to decode.
std::optional<Picture> Load(const std::string& path, int longSide = 0);

// The pixel size that the file declares, read from its header only.
std::optional<QSize> Size(const std::string& path);

// The size at which a picture of fileSize is decoded for a longer side of at
// most longSide pixels (fileSize itself when it is already small enough).
QSize DecodeSize(QSize fileSize, int longSide);

} // namespace Pictures
