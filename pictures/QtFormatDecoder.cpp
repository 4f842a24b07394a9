#include "QtFormatDecoder.h"

#include "DecodeLimits.h"
#include "FinishImage.h"
#include "GifCanvas.h"
#include "RegularFile.h"

#include <QFile>
#include <QImageReader>

#include <cstdlib>

namespace Pictures {
namespace {

// The size and pixel format the reader will decode into.
struct Allocation {
    QSize size;
    QImage::Format format = QImage::Format_Invalid;
};

std::optional<Allocation> plannedAllocation(QImageReader& reader, QFile& file, PictureFormat format)
{
    if (format == PictureFormat::Gif) {
        // The GIF reader reports its first frame's size but decodes onto
        // the logical screen; it decodes to 32 bits, with alpha or not.
        const std::optional<QSize> canvas = GifCanvas(file);
        if (!canvas)
            return std::nullopt;
        return Allocation{*canvas, QImage::Format_ARGB32};
    }
    // A BMP stored top-down reports a negative height; it decodes the right
    // way up at the positive one.
    const QSize reported = reader.size();
    return Allocation{QSize(reported.width(), std::abs(reported.height())), reader.imageFormat()};
}

qint64 bytesOf(QSize size, QImage::Format format)
{
    const int bits = format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 bytesPerLine = (qint64(size.width()) * bits + 31) / 32 * 4;
    return bytesPerLine * size.height();
}

// The decoded image, the 32-bit copy smooth scaling needs unless it is
// decoded that way, and the scaled result with its upright turn.
bool fitsMemory(const Allocation& allocation, QSize target)
{
    const qint64 decoded = bytesOf(allocation.size, allocation.format);
    const bool scalable =
        allocation.format == QImage::Format_RGB32 || allocation.format == QImage::Format_ARGB32_Premultiplied;
    const qint64 copy = scalable ? 0 : bytesOf(allocation.size, QImage::Format_RGB32);
    const qint64 scaled = 2 * bytesOf(target, QImage::Format_RGB32);
    return decoded + copy + scaled <= Limits::MemoryBytes;
}

} // namespace

Decoded QtFormatDecoder::Decode(const RegularFile& file, PictureFormat format, int longSide)
{
    QFile device;
    if (!device.open(file.descriptor(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return {std::nullopt, Failure::Unreadable};
    QImageReader reader(&device, format == PictureFormat::Gif ? "gif" : "bmp");
    reader.setAutoDetectImageFormat(false);
    const std::optional<Allocation> allocation = plannedAllocation(reader, device, format);
    if (!allocation || allocation->size.isEmpty())
        return {std::nullopt, Failure::Damaged};
    if (!fitsMemory(*allocation, DecodeSize(allocation->size, longSide)))
        return {std::nullopt, Failure::TooLarge};

    QImage image = reader.read();
    if (image.isNull())
        return {std::nullopt, reader.error() == QImageReader::DeviceError ? Failure::Unreadable : Failure::Damaged};
    const QSize fileSize = image.size();
    const QColorSpace profile = image.colorSpace();
    QImage finished = FinishImage(std::move(image), DecodeSize(fileSize, longSide), profile, Orientation());
    return {Picture{std::move(finished), fileSize}, Failure::None};
}

} // namespace Pictures
