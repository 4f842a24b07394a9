#include "EmbeddedThumbnail.h"

#include "DecodeLimits.h"
#include "JpegDecoder.h"

#include <algorithm>
#include <cmath>

namespace Pictures {
namespace {

// Bars are black, give or take the noise JPEG coding leaves next to the
// picture's edge.
constexpr int NearBlack = 40;
constexpr double AspectTolerance = 0.01;

bool isNearBlack(QRgb pixel)
{
    return std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) <= NearBlack;
}

bool rowIsBar(const QImage& image, int y, int left, int right)
{
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    return std::all_of(row + left, row + right + 1, isNearBlack);
}

bool columnIsBar(const QImage& image, int x, int top, int bottom)
{
    for (int y = top; y <= bottom; ++y) {
        if (!isNearBlack(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]))
            return false;
    }
    return true;
}

bool sameShape(QSize a, QSize b)
{
    const double ratio = (double(a.width()) / a.height()) / (double(b.width()) / b.height());
    return std::abs(ratio - 1.0) <= AspectTolerance;
}

} // namespace

QRect EmbeddedThumbnail::Content(const QImage& image)
{
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    int top = 0, bottom = pixels.height() - 1, left = 0, right = pixels.width() - 1;
    while (top <= bottom && rowIsBar(pixels, top, left, right))
        ++top;
    if (top > bottom)
        return image.rect();
    while (rowIsBar(pixels, bottom, left, right))
        --bottom;
    while (columnIsBar(pixels, left, top, bottom))
        ++left;
    while (columnIsBar(pixels, right, top, bottom))
        --right;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QImage EmbeddedThumbnail::Choose(QByteArrayView jpeg, QSize mainSize, QSize cover)
{
    if (jpeg.isEmpty())
        return {};
    JpegDecoder decoder(jpeg);
    if (decoder.readHeader() != Failure::None)
        return {};
    const QSize size = decoder.size();
    const int coverLongSide = std::max(cover.width(), cover.height());
    if (qint64(size.width()) * size.height() > Limits::MaxThumbnailPixels ||
        std::max(size.width(), size.height()) < coverLongSide)
        return {};
    QImage image;
    if (decoder.decode(size, false, image) != Failure::None || !decoder.clean() || decoder.report().rowsFilled > 0)
        return {};
    const QRect content = Content(image);
    if (std::max(content.width(), content.height()) < coverLongSide || !sameShape(content.size(), mainSize))
        return {};
    return content == image.rect() ? image : image.copy(content);
}

} // namespace Pictures
