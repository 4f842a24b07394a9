#include "PictureInfo.h"

#include "ExifBlock.h"
#include "JpegDecoder.h"
#include "PictureFormat.h"
#include "RegularFile.h"

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

} // namespace Pictures
