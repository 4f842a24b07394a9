#include "PictureInfo.h"

namespace Pictures {

// Until the bounded EXIF walker reads the photographic fields, no file has any.
PictureInfo ReadPictureInfo(const std::string&)
{
    return {};
}

} // namespace Pictures
