#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QRect>
#include <QSize>

namespace Pictures {

// A camera's thumbnail inside the EXIF block, used in place of the main
// image when it is as good for the size drawn: it decodes cleanly, is not
// smaller than that size, and once the black bars cameras pad it with are
// trimmed, has the main image's shape (within 1 %).
class EmbeddedThumbnail {
public:
    // The trimmed thumbnail, in the stored orientation, or a null image when
    // it does not qualify. mainSize is the main image's stored size, cover
    // the stored size it is to be drawn at.
    static QImage Choose(QByteArrayView jpeg, QSize mainSize, QSize cover);

    // The part of the image inside near-black bars along its edges (the whole
    // image when it is black throughout).
    static QRect Content(const QImage& image);
};

} // namespace Pictures
