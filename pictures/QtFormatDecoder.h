#pragma once

#include "Decode.h"
#include "PictureFormat.h"

namespace Pictures {

class RegularFile;

// BMP and GIF through Qt's own readers, each named explicitly so that Qt
// never picks a reader by the content. Before anything is decoded, the image
// the reader will allocate (its real size and pixel format) and the copies
// made after it are held against the memory limit, then reserved in the
// process's shared budget. For the full screen, a picture whose scaled copy
// would pass the limit is made smaller instead.
class QtFormatDecoder {
public:
    static Decoded Decode(const RegularFile& file, PictureFormat format, QSize box, Purpose purpose);
};

} // namespace Pictures
