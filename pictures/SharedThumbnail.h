#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <string>

namespace Pictures {

class RegularFile;

// The desktop's shared thumbnails, as file managers leave them (the
// freedesktop.org thumbnail cache): $XDG_CACHE_HOME/thumbnails/normal (128
// pixels) and large (256), each a PNG named by the MD5 of the picture's URI.
// Read, never written.
class SharedThumbnail {
public:
    // The thumbnail of the picture at `path` (opened as `file`) good for a
    // cell of `cover` pixels, or a null image. It is used only when it is a
    // PNG within the limits, decodes cleanly, says it is of this very file
    // (Thumb::URI) as it is now (Thumb::MTime) and is no smaller than the
    // cell; the large one serves a cell over 128 pixels.
    static QImage Find(const std::string& path, const RegularFile& file, QSize cover);

    // The file URI of an absolute native path, escaped as file managers do.
    static QByteArray Uri(const std::string& path);
    // Where the thumbnails of a size ("normal", "large") lie.
    static std::string Folder(const char* size);
};

} // namespace Pictures
