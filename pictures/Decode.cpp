#include "Decode.h"

#include <QFile>
#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace Pictures {
namespace {

// Largest number of pixels decoded in one piece: 64 megapixels, 256 MiB at
// four bytes a pixel, which is also the limit the image reader is given. A
// header that claims more (a 60000 x 60000 GIF, say) is refused before
// anything of that size is allocated.
constexpr int AllocationLimitMiB = 256;
constexpr qint64 MaxDecodedPixels = 64LL * 1024 * 1024;

qint64 pixelCount(QSize size)
{
    return qint64(size.width()) * qint64(size.height());
}

// Opens a regular file by its native name. Qt's own file names cannot carry
// bytes that are not UTF-8, so the descriptor is opened here and handed over.
bool openRegularFile(const std::string& path, QFile& file)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

// The stored size turned as the picture is shown: a picture whose orientation
// tag turns it by a quarter shows its height as its width.
QSize upright(QSize stored, const QImageReader& reader)
{
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90) ? stored.transposed() : stored;
}

// A picture file opened for reading, with the size its header declares.
struct OpenPicture {
    QFile file;
    QImageReader reader;
    QSize storedSize;
};

// Opens path and reads its header; nothing for a file that is no picture.
std::unique_ptr<OpenPicture> openPicture(const std::string& path, Failure& failure)
{
    auto picture = std::make_unique<OpenPicture>();
    failure = Failure::Unreadable;
    if (!openRegularFile(path, picture->file))
        return nullptr;
    picture->reader.setDevice(&picture->file);
    picture->storedSize = picture->reader.size();
    failure = Failure::Damaged;
    if (!picture->storedSize.isValid() || picture->storedSize.isEmpty())
        return nullptr;
    return picture;
}

// True for a JPEG whose frame is coded progressively (SOF2, SOF6, SOF10 or
// SOF14). Walks the segments before the frame header and leaves the file at
// the position it was found at, so a reader that has begun stays valid.
bool isProgressiveJpeg(QFile& file)
{
    const qint64 position = file.pos();
    bool progressive = false;
    if (file.seek(0) && file.read(2) == QByteArray("\xFF\xD8", 2)) {
        for (;;) {
            const QByteArray segment = file.read(4);
            if (segment.size() < 4 || uchar(segment[0]) != 0xFF)
                break;
            const int type = uchar(segment[1]);
            if (type >= 0xC0 && type <= 0xCF && type != 0xC4 && type != 0xC8 && type != 0xCC) {
                progressive = (type & 0x3) == 2;
                break;
            }
            const int length = (uchar(segment[2]) << 8) | uchar(segment[3]);
            if (length < 2 || !file.seek(file.pos() + length - 2))
                break;
        }
    }
    file.seek(position);
    return progressive;
}

} // namespace

QSize DecodeSize(QSize fileSize, int longSide)
{
    if (longSide <= 0 || std::max(fileSize.width(), fileSize.height()) <= longSide)
        return fileSize;
    QSize scaled = fileSize.scaled(longSide, longSide, Qt::KeepAspectRatio);
    return scaled.expandedTo(QSize(1, 1));
}

Decoded Decode(const std::string& path, int longSide, Purpose)
{
    Failure failure = Failure::None;
    const std::unique_ptr<OpenPicture> picture = openPicture(path, failure);
    if (!picture)
        return {std::nullopt, failure};
    QImageReader& reader = picture->reader;
    const QSize fileSize = picture->storedSize;
    const QSize target = DecodeSize(fileSize, longSide);
    // libjpeg scales while it decodes, by up to an eighth a side, so a JPEG
    // is never held at full size; other formats are decoded whole, then scaled.
    // A progressive JPEG is the exception: libjpeg keeps its coefficients
    // for the whole frame, so it counts at its full size (a few hundred bytes
    // that claim 30000 x 30000 would otherwise take gigabytes).
    const bool scalesWhileDecoding =
        reader.supportsOption(QImageIOHandler::ScaledSize) && !isProgressiveJpeg(picture->file);
    const qint64 leastDecoded = scalesWhileDecoding ? pixelCount(fileSize) / 64 : pixelCount(fileSize);
    if (leastDecoded > MaxDecodedPixels)
        return {std::nullopt, Failure::TooLarge};
    if (target != fileSize)
        reader.setScaledSize(target);
    QImageReader::setAllocationLimit(AllocationLimitMiB);

    // Camera pictures are shown upright, as their orientation tag says.
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull())
        return {std::nullopt, Failure::Damaged};
    return {Picture{std::move(image), upright(fileSize, reader)}, Failure::None};
}

} // namespace Pictures
