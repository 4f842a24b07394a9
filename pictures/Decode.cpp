#include "Decode.h"

#include "DecodeGuard.h"
#include "DecodeLimits.h"
#include "EmbeddedThumbnail.h"
#include "ExifBlock.h"
#include "FinishImage.h"
#include "JpegDecoder.h"
#include "PictureFormat.h"
#include "PictureLog.h"
#include "QtFormatDecoder.h"
#include "RegularFile.h"

#include <algorithm>

namespace Pictures {
namespace {

Decoded failed(Failure failure)
{
    return {std::nullopt, failure};
}

Decoded decodeJpeg(const RegularFile& file, int longSide, Purpose purpose)
{
    JpegDecoder jpeg(file.descriptor());
    if (const Failure failure = jpeg.readHeader(); failure != Failure::None)
        return failed(failure);
    const ExifBlock exif(jpeg.exifPayload());
    const Orientation orientation = exif.orientation();
    const QSize fileSize = orientation.upright(jpeg.size());
    const QSize cover = orientation.stored(DecodeSize(fileSize, longSide));
    const QByteArray iccProfile = jpeg.iccProfile();
    const QColorSpace profile = iccProfile.isEmpty() ? QColorSpace() : QColorSpace::fromIccProfile(iccProfile);

    if (purpose == Purpose::Thumbnail) {
        QImage thumbnail = EmbeddedThumbnail::Choose(exif.thumbnail(), jpeg.size(), cover);
        if (!thumbnail.isNull())
            return {Picture{FinishImage(std::move(thumbnail), cover, profile, orientation), fileSize}, Failure::None};
    }
    QImage image;
    jpeg.setTurnedAfterwards(orientation.exifValue() != 1);
    const bool screen = purpose == Purpose::Screen;
    if (const Failure failure = jpeg.decode(cover, purpose == Purpose::Thumbnail, image, screen);
        failure != Failure::None)
        return failed(failure);
    if (const Failure stop = DecodeGuard::Check(); stop != Failure::None)
        return failed(stop);
    // For the screen, the decode may have come out smaller than asked.
    const QSize target = screen ? cover.scaled(cover.boundedTo(image.size()), Qt::KeepAspectRatio) : cover;
    return {Picture{FinishImage(std::move(image), target.expandedTo(QSize(1, 1)), profile, orientation), fileSize},
            Failure::None};
}

Decoded decodeFile(const std::string& path, int longSide, Purpose purpose)
{
    const RegularFile file(path);
    if (!file.isOpen())
        return failed(Failure::Unreadable);
    const QByteArray start = file.prefix(FormatSignatureBytes);
    if (start.isNull())
        return failed(Failure::Unreadable);
    switch (const PictureFormat format = DetectFormat(start)) {
    case PictureFormat::Jpeg:
        return decodeJpeg(file, longSide, purpose);
    case PictureFormat::Bmp:
    case PictureFormat::Gif:
        return QtFormatDecoder::Decode(file, format, longSide, purpose);
    case PictureFormat::Unknown:
        break;
    }
    return failed(Failure::NotAPicture);
}

} // namespace

const char* FailureText(Failure failure)
{
    switch (failure) {
    case Failure::None:
        return "decoded";
    case Failure::Unreadable:
        return "unreadable: missing, not a regular file, not permitted or a read error";
    case Failure::NotAPicture:
        return "not a JPEG, BMP or GIF by its content";
    case Failure::Damaged:
        return "damaged: its data cannot be decoded";
    case Failure::TooLarge:
        return "too large: it would need more memory or time than one picture may take";
    case Failure::TooSlow:
        return "too slow: decoding it took longer than one picture may take";
    case Failure::Cancelled:
        return "no longer wanted: its decoding was stopped";
    }
    return "unknown";
}

QSize DecodeSize(QSize fileSize, int longSide)
{
    if (longSide <= 0 || std::max(fileSize.width(), fileSize.height()) <= longSide)
        return fileSize;
    QSize scaled = fileSize.scaled(longSide, longSide, Qt::KeepAspectRatio);
    return scaled.expandedTo(QSize(1, 1));
}

Decoded Decode(const std::string& path, int longSide, Purpose purpose)
{
    Decoded decoded;
    {
        const DecodeGuard guard(purpose == Purpose::Screen ? Limits::ScreenCpuTime : Limits::CpuTime);
        decoded = decodeFile(path, longSide, purpose);
    }
    if (!decoded && decoded.failure != Failure::Cancelled)
        qCInfo(lcPictures).noquote() << "cannot show" << PrintablePath(path) << "-" << FailureText(decoded.failure);
    return decoded;
}

} // namespace Pictures
