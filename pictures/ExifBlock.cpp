#include "ExifBlock.h"

#include "TiffWalker.h"

namespace Pictures {
namespace {

constexpr char Signature[] = "Exif\0\0";
constexpr qsizetype SignatureBytes = 6;

enum Tag : quint16 {
    Make = 0x010F,
    Model = 0x0110,
    OrientationTag = 0x0112,
    ThumbnailOffset = 0x0201,
    ThumbnailLength = 0x0202,
    ExposureTime = 0x829A,
    FNumber = 0x829D,
    ExifDirectory = 0x8769,
    Iso = 0x8827, // ISOSpeedRatings, PhotographicSensitivity since Exif 2.3
    DateTimeOriginal = 0x9003,
    FocalLength = 0x920A,
    LensModel = 0xA434,
};

const TiffWalker::Entry* find(const std::vector<TiffWalker::Entry>& entries, quint16 tag)
{
    for (const TiffWalker::Entry& entry : entries) {
        if (entry.tag == tag)
            return &entry;
    }
    return nullptr;
}

// The camera's make and model stand in IFD0, but some writers put them in the
// Exif directory instead: there they fill only what IFD0 left empty.
void readCamera(const TiffWalker& walker, const std::vector<TiffWalker::Entry>& directory, PictureInfo& info)
{
    if (const TiffWalker::Entry* make = find(directory, Make); make && !info.make)
        info.make = walker.text(*make);
    if (const TiffWalker::Entry* model = find(directory, Model); model && !info.model)
        info.model = walker.text(*model);
}

void readPhotographicFields(const TiffWalker& walker, const std::vector<TiffWalker::Entry>& exif, PictureInfo& info)
{
    readCamera(walker, exif, info);
    for (const TiffWalker::Entry& entry : exif) {
        switch (entry.tag) {
        case DateTimeOriginal:
            if (!info.dateTaken)
                info.dateTaken = walker.text(entry);
            break;
        case ExposureTime:
            if (!info.exposureSeconds)
                info.exposureSeconds = walker.rational(entry);
            break;
        case FNumber:
            if (!info.fNumber)
                info.fNumber = walker.rational(entry);
            break;
        case Iso:
            if (!info.iso)
                if (const std::optional<quint32> iso = walker.integer(entry); iso && *iso <= 0x7FFFFFFF)
                    info.iso = int(*iso);
            break;
        case FocalLength:
            if (!info.focalLengthMm)
                info.focalLengthMm = walker.rational(entry);
            break;
        case LensModel:
            if (!info.lens)
                info.lens = walker.text(entry);
            break;
        default:
            break;
        }
    }
}

} // namespace

ExifBlock::ExifBlock(QByteArrayView payload)
{
    if (payload.size() <= SignatureBytes || !payload.startsWith(QByteArrayView(Signature, SignatureBytes)))
        return;
    payload_ = payload.toByteArray();
    TiffWalker walker(tiff());
    quint32 next = 0;
    const std::optional<std::vector<TiffWalker::Entry>> ifd0 = walker.directory(walker.firstDirectory(), &next);
    if (!ifd0)
        return;
    if (const TiffWalker::Entry* entry = find(*ifd0, OrientationTag))
        orientation_ = Orientation(int(walker.integer(*entry).value_or(1)));
    if (next == 0)
        return;
    const std::optional<std::vector<TiffWalker::Entry>> ifd1 = walker.directory(next);
    if (!ifd1)
        return;
    const TiffWalker::Entry* offset = find(*ifd1, ThumbnailOffset);
    const TiffWalker::Entry* length = find(*ifd1, ThumbnailLength);
    if (!offset || !length)
        return;
    const std::optional<quint32> at = walker.integer(*offset), bytes = walker.integer(*length);
    if (at && bytes && walker.bytes(*at, *bytes)) {
        thumbnailAt_ = SignatureBytes + qsizetype(*at);
        thumbnailBytes_ = qsizetype(*bytes);
    }
}

ExifBlock::~ExifBlock() = default;

QByteArrayView ExifBlock::tiff() const
{
    return QByteArrayView(payload_).sliced(std::min(SignatureBytes, payload_.size()));
}

QByteArrayView ExifBlock::thumbnail() const
{
    return QByteArrayView(payload_).sliced(thumbnailAt_, thumbnailBytes_);
}

PictureInfo ExifBlock::info() const
{
    PictureInfo info;
    TiffWalker walker(tiff());
    const std::optional<std::vector<TiffWalker::Entry>> ifd0 = walker.directory(walker.firstDirectory());
    if (!ifd0)
        return info;
    readCamera(walker, *ifd0, info);
    const TiffWalker::Entry* pointer = find(*ifd0, ExifDirectory);
    const std::optional<quint32> offset = pointer ? walker.integer(*pointer) : std::nullopt;
    if (!offset)
        return info;
    if (const std::optional<std::vector<TiffWalker::Entry>> exif = walker.directory(*offset))
        readPhotographicFields(walker, *exif, info);
    return info;
}

} // namespace Pictures
