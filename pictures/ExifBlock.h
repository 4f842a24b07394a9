#pragma once

#include "Orientation.h"
#include "PictureInfo.h"

#include <QByteArray>
#include <QByteArrayView>

namespace Pictures {

// The EXIF block of a JPEG (the payload of its APP1 marker, "Exif\0\0" and
// a TIFF structure), read by a TiffWalker: only the directories the viewer
// uses, each once. Broken or truncated directories are tolerated: what
// cannot be read is simply absent, and a directory offset met twice or
// pointing outside the block ends the walk with what was read until then.
class ExifBlock {
public:
    // An empty or unreadable payload gives a block with nothing in it.
    explicit ExifBlock(QByteArrayView payload);
    ~ExifBlock();

    // The orientation tag of the main image (IFD0), or "as stored".
    Orientation orientation() const { return orientation_; }
    // The embedded thumbnail's JPEG bytes (IFD1), empty when there is none.
    // They stay valid as long as the block.
    QByteArrayView thumbnail() const;
    // How the photograph was taken (IFD0 and the Exif directory; the camera's
    // make and model from IFD0, else from the Exif directory), read on
    // demand: decoding a picture does not need it.
    PictureInfo info() const;

private:
    QByteArrayView tiff() const;

    QByteArray payload_;
    Orientation orientation_;
    qsizetype thumbnailAt_ = 0; // in payload_
    qsizetype thumbnailBytes_ = 0;
};

} // namespace Pictures
