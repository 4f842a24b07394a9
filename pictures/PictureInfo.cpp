#include "PictureInfo.h"

#include "ExifBlock.h"
#include "GifCanvas.h"
#include "JpegDecoder.h"
#include "PictureFormat.h"
#include "RegularFile.h"

#include <QFile>
#include <QImageReader>

#include <cstdlib>

namespace Pictures {

// Only the markers before the first scan are read, as for decoding.
PictureInfo ReadPictureInfo(const std::string& path)
{
    const RegularFile file(path);
    if (!file.isOpen())
        return {};
    const QByteArray start = file.prefix(FormatSignatureBytes);
    if (start.isNull() || DetectFormat(start) != PictureFormat::Jpeg)
        return {};
    JpegDecoder jpeg(file.descriptor());
    if (jpeg.readHeader() != Failure::None)
        return {};
    return ExifBlock(jpeg.exifPayload()).info();
}

QSize ReadPictureSize(const std::string& path)
{
    const RegularFile file(path);
    if (!file.isOpen())
        return {};
    const QByteArray start = file.prefix(FormatSignatureBytes);
    if (start.isNull())
        return {};
    switch (DetectFormat(start)) {
    case PictureFormat::Jpeg: {
        JpegDecoder jpeg(file.descriptor());
        if (jpeg.readHeader() != Failure::None)
            return {};
        return ExifBlock(jpeg.exifPayload()).orientation().upright(jpeg.size());
    }
    case PictureFormat::Gif:
    case PictureFormat::Bmp: {
        QFile raw;
        if (!raw.open(file.descriptor(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
            return {};
        if (DetectFormat(start) == PictureFormat::Gif)
            return GifCanvas(raw).value_or(QSize());
        // A BMP stored top-down reports a negative height.
        const QSize reported = QImageReader(&raw, "bmp").size();
        return reported.width() > 0 && reported.height() != 0 ? QSize(reported.width(), std::abs(reported.height()))
                                                              : QSize();
    }
    case PictureFormat::Unknown:
        break;
    }
    return {};
}

} // namespace Pictures
