#include "PictureFormat.h"

namespace Pictures {

PictureFormat DetectFormat(QByteArrayView start)
{
    if (start.startsWith(QByteArrayView("\xFF\xD8\xFF", 3)))
        return PictureFormat::Jpeg;
    if (start.startsWith("GIF87a") || start.startsWith("GIF89a"))
        return PictureFormat::Gif;
    if (start.startsWith("BM"))
        return PictureFormat::Bmp;
    return PictureFormat::Unknown;
}

} // namespace Pictures
