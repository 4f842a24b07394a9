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
#include "SharedThumbnail.h"

namespace Pictures {
namespace {

Decoded failed(Failure failure)
{
    return {std::nullopt, failure};
}

Decoded decodeJpeg(const std::string& path, const RegularFile& file, QSize box, Purpose purpose)
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
        // A file manager's thumbnail is upright already, and its own shape
        // decides the fit.
        QImage shared = SharedThumbnail::Find(path, file, orientation.upright(cover));
        if (!shared.isNull()) {
            const QSize fitted = DecodeSize(shared.size(), box);
            return Decoded{
                Picture{
                    FinishImage(std::move(shared), fitted, QColorSpace(), Orientation()), fileSize, file.size(), {}},
                Failure::None};
        }
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

Decoded decodeJpegArea(const RegularFile& file, QRect area, QSize box)
{
    JpegDecoder jpeg(file.descriptor());
    if (const Failure failure = jpeg.readHeader(); failure != Failure::None)
        return failed(failure);
    const Orientation orientation = ExifBlock(jpeg.exifPayload()).orientation();
    const QSize fileSize = orientation.upright(jpeg.size());
    area &= QRect(QPoint(0, 0), fileSize);
    if (area.isEmpty())
        return failed(Failure::Damaged);
    const QByteArray iccProfile = jpeg.iccProfile();
    const QColorSpace profile = iccProfile.isEmpty() ? QColorSpace() : QColorSpace::fromIccProfile(iccProfile);
    QImage image;
    jpeg.setTurnedAfterwards(orientation.copiesToTurn());
    if (const Failure failure = jpeg.decodeArea(orientation.storedArea(area, jpeg.size()),
                                                orientation.stored(DecodeSize(area.size(), box)), image);
        failure != Failure::None)
        return failed(failure);
    if (const Failure stop = DecodeGuard::Check(); stop != Failure::None)
        return failed(stop);
    const QSize decodedSize = image.size();
    return Decoded{
        Picture{FinishImage(std::move(image), decodedSize, profile, orientation), fileSize, file.size(), {}, area},
        Failure::None};
}

// The other formats have no way to decode a part: the whole picture (as
// large as the limits let it be) is cut.
Decoded cutFromWhole(Decoded whole, QRect area, QSize box)
{
    if (!whole)
        return whole;
    Picture& picture = *whole.picture;
    area &= QRect(QPoint(0, 0), picture.fileSize);
    if (area.isEmpty())
        return failed(Failure::Damaged);
    const double ratio = double(picture.image.width()) / picture.fileSize.width();
    const QRect cut = QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio)
                          .toAlignedRect()
                          .intersected(picture.image.rect());
    QImage part = picture.image.copy(cut);
    picture.image = {};
    const QSize fitted = DecodeSize(area.size(), box);
    if (part.width() > fitted.width() || part.height() > fitted.height())
        part = part.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    picture.image = std::move(part);
    picture.area = area;
    return whole;
}

// The file's format by its content; nothing for a file that cannot be read.
std::optional<PictureFormat> formatOf(const RegularFile& file)
{
    if (!file.isOpen())
        return std::nullopt;
    const QByteArray start = file.prefix(FormatSignatureBytes);
    if (start.isNull())
        return std::nullopt;
    return DetectFormat(start);
}

Decoded decodeFile(const std::string& path, QSize box, Purpose purpose)
{
    const RegularFile file(path);
    const std::optional<PictureFormat> format = formatOf(file);
    if (!format)
        return failed(Failure::Unreadable);
    switch (*format) {
    case PictureFormat::Jpeg:
        return decodeJpeg(path, file, box, purpose);
    case PictureFormat::Bmp:
    case PictureFormat::Gif:
        return QtFormatDecoder::Decode(file, *format, box, purpose);
    case PictureFormat::Unknown:
        break;
    }
    return failed(Failure::NotAPicture);
}

Decoded decodeFileArea(const std::string& path, QRect area, QSize box)
{
    {
        const RegularFile file(path);
        const std::optional<PictureFormat> format = formatOf(file);
        if (!format)
            return failed(Failure::Unreadable);
        if (*format == PictureFormat::Jpeg)
            return decodeJpegArea(file, area, box);
    }
    return cutFromWhole(decodeFile(path, QSize(), Purpose::Screen), area, box);
}

void logFailure(const std::string& path, const Decoded& decoded)
{
    if (!decoded && decoded.failure != Failure::Cancelled)
        qCInfo(lcPictures).noquote() << "cannot show" << PrintablePath(path) << "-" << FailureText(decoded.failure);
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
    logFailure(path, decoded);
    return decoded;
}

Decoded DecodeArea(const std::string& path, QRect area, QSize box)
{
    Decoded decoded;
    {
        const DecodeGuard guard(Limits::ScreenCpuTime);
        decoded = decodeFileArea(path, area, box);
    }
    logFailure(path, decoded);
    return decoded;
}

} // namespace Pictures
