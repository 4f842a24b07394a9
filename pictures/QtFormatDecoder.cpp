#include "QtFormatDecoder.h"

#include "DecodeGuard.h"
#include "DecodeLimits.h"
#include "FinishImage.h"
#include "GifCanvas.h"
#include "GuardedDevice.h"
#include "MemoryReservation.h"
#include "RegularFile.h"

#include <QFile>
#include <QImageReader>

#include <cstdlib>

namespace Pictures {
namespace {

// The size and pixel format the reader will decode into, and what it
// allocates beside that image.
struct Allocation {
    QSize size;
    QImage::Format format = QImage::Format_Invalid;
    qint64 readerBytes = 0;
};

qint64 bytesOf(QSize size, QImage::Format format)
{
    const int bits = format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 bytesPerLine = (qint64(size.width()) * bits + 31) / 32 * 4;
    return bytesPerLine * size.height();
}

std::optional<Allocation> plannedAllocation(QImageReader& reader, QIODevice& file, PictureFormat format)
{
    if (format == PictureFormat::Gif) {
        // The GIF reader reports its first frame's size but decodes onto
        // the logical screen; it decodes to 32 bits, with alpha or not. A
        // frame to be disposed of by restoring what was under it makes it
        // keep a copy of that part of the screen as well, up to all of it.
        const std::optional<QSize> canvas = GifCanvas(file);
        if (!canvas)
            return std::nullopt;
        return Allocation{*canvas, QImage::Format_ARGB32, bytesOf(*canvas, QImage::Format_RGB32)};
    }
    // A BMP stored top-down reports a negative height; it decodes the right
    // way up at the positive one.
    const QSize reported = reader.size();
    return Allocation{QSize(reported.width(), std::abs(reported.height())), reader.imageFormat()};
}

// The decoded image, what the reader keeps beside it, the 32-bit copy smooth
// scaling needs unless it is
// decoded that way, and the scaled result with its upright turn.
qint64 memoryFor(const Allocation& allocation, QSize target)
{
    const qint64 decoded = bytesOf(allocation.size, allocation.format);
    const bool scalable =
        allocation.format == QImage::Format_RGB32 || allocation.format == QImage::Format_ARGB32_Premultiplied;
    const qint64 copy = scalable ? 0 : bytesOf(allocation.size, QImage::Format_RGB32);
    const qint64 scaled = 2 * bytesOf(target, QImage::Format_RGB32);
    return decoded + allocation.readerBytes + copy + scaled;
}

// The target, halved until the decode fits the limit when shrinking is
// allowed; nothing when it does not fit.
std::optional<QSize> targetWithinLimit(const Allocation& allocation, QSize target, bool shrink)
{
    while (memoryFor(allocation, target) > Limits::MemoryBytes) {
        if (!shrink || std::max(target.width(), target.height()) <= 1)
            return std::nullopt;
        target = DecodeSize(target, std::max(target.width(), target.height()) / 2);
    }
    return target;
}

} // namespace

Decoded QtFormatDecoder::Decode(const RegularFile& file, PictureFormat format, QSize box, Purpose purpose)
{
    QFile raw;
    if (!raw.open(file.descriptor(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return {std::nullopt, Failure::Unreadable};
    GuardedDevice device(raw);
    QImageReader reader(&device, format == PictureFormat::Gif ? "gif" : "bmp");
    reader.setAutoDetectImageFormat(false);
    const std::optional<Allocation> allocation = plannedAllocation(reader, device, format);
    if (device.stopped() != Failure::None)
        return {std::nullopt, device.stopped()};
    if (!allocation || allocation->size.isEmpty())
        return {std::nullopt, Failure::Damaged};
    const std::optional<QSize> target =
        targetWithinLimit(*allocation, DecodeSize(allocation->size, box), purpose == Purpose::Screen);
    if (!target)
        return {std::nullopt, Failure::TooLarge};
    MemoryReservation memory;
    if (const Failure stop = memory.take(memoryFor(*allocation, *target)); stop != Failure::None)
        return {std::nullopt, stop};

    QImage image = reader.read();
    if (device.stopped() != Failure::None)
        return {std::nullopt, device.stopped()};
    if (image.isNull())
        return {std::nullopt, reader.error() == QImageReader::DeviceError ? Failure::Unreadable : Failure::Damaged};
    if (const Failure stop = DecodeGuard::Check(); stop != Failure::None)
        return {std::nullopt, stop};
    const QSize fileSize = image.size();
    const QColorSpace profile = image.colorSpace();
    // The target's longer side, kept for the picture's own shape.
    const QSize finalSize = DecodeSize(fileSize, std::max(target->width(), target->height()));
    QImage finished = FinishImage(std::move(image), finalSize, profile, Orientation());
    return {Picture{std::move(finished), fileSize, file.size(), {}}, Failure::None};
}

} // namespace Pictures
