#pragma once

#include "Orientation.h"

#include <QByteArrayView>

#include <memory>

typedef struct _ExifData ExifData;

namespace Pictures {

// The EXIF block of a JPEG (the payload of its APP1 marker, "Exif\0\0" and
// a TIFF structure), read with libexif. Broken or truncated directories are
// tolerated: what cannot be read is simply absent.
class ExifBlock {
public:
    // An empty or unreadable payload gives a block with nothing in it.
    explicit ExifBlock(QByteArrayView payload);
    ~ExifBlock();

    // The orientation tag of the main image (IFD0), or "as stored".
    Orientation orientation() const;
    // The embedded thumbnail's JPEG bytes (IFD1), empty when there is none.
    // They stay valid as long as the block.
    QByteArrayView thumbnail() const;

private:
    struct Release {
        void operator()(ExifData* data) const;
    };
    std::unique_ptr<ExifData, Release> data_;
};

} // namespace Pictures
