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

namespace Pictures {
namespace {

Decoded failed(Failure failure)
{
    return {std::nullopt, failure};
}

Decoded decodeJpeg(const RegularFile& file, QSize box, Purpose purpose)
{
    JpegDecoder jpeg(file.descriptor());
    if (const Failure failure = jpeg.readHeader(); failure != Failure::None)
        return failed(failure);
    const ExifBlock exif(jpeg.exifPayload());
    const Orientation orientation = exif.orientation();
    const QSize fileSize = orientation.upright(jpeg.size());
    const QSize cover = orientation.stored(DecodeSize(fileSize, box));
    const QByteArray iccProfile = jpeg.iccProfile();
    const QColorSpace profile = iccProfile.isEmpty() ? QColorSpace() : QColorSpace::fromIccProfile(iccProfile);
    const auto picture = [&](QImage image, QSize target) {
        Picture finished{FinishImage(std::move(image), target, profile, orientation), fileSize, file.size(), {}};
        if (purpose == Purpose::Screen)
            finished.info = exif.info();
        return Decoded{std::move(finished), Failure::None};
    };

    if (purpose == Purpose::Thumbnail) {
        QImage thumbnail = EmbeddedThumbnail::Choose(exif.thumbnail(), jpeg.size(), cover);
        if (!thumbnail.isNull())
            return picture(std::move(thumbnail), cover);
    }
    QImage image;
    jpeg.setTurnedAfterwards(orientation.copiesToTurn());
    if (const Failure failure = jpeg.decode(cover, purpose == Purpose::Thumbnail, image, purpose == Purpose::Screen);
        failure != Failure::None)
        return failed(failure);
    if (const Failure stop = DecodeGuard::Check(); stop != Failure::None)
        return failed(stop);
    // The size the decoder counted its copies for: smaller than cover when
    // the full screen's decode had to be made smaller.
    return picture(std::move(image), jpeg.target());
}

Decoded decodeFile(const std::string& path, QSize box, Purpose purpose)
{
    const RegularFile file(path);
    if (!file.isOpen())
        return failed(Failure::Unreadable);
    const QByteArray start = file.prefix(FormatSignatureBytes);
    if (start.isNull())
        return failed(Failure::Unreadable);
    switch (const PictureFormat format = DetectFormat(start)) {
    case PictureFormat::Jpeg:
        return decodeJpeg(file, box, purpose);
    case PictureFormat::Bmp:
    case PictureFormat::Gif:
        return QtFormatDecoder::Decode(file, format, box, purpose);
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

QSize DecodeSize(QSize fileSize, QSize box)
{
    if (box.isEmpty() || (fileSize.width() <= box.width() && fileSize.height() <= box.height()))
        return fileSize;
    return fileSize.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

Decoded Decode(const std::string& path, QSize box, Purpose purpose)
{
    Decoded decoded;
    {
        const DecodeGuard guard(purpose == Purpose::Screen ? Limits::ScreenCpuTime : Limits::CpuTime);
        decoded = decodeFile(path, box, purpose);
    }
    if (!decoded && decoded.failure != Failure::Cancelled)
        qCInfo(lcPictures).noquote() << "cannot show" << PrintablePath(path) << "-" << FailureText(decoded.failure);
    return decoded;
}

} // namespace Pictures
