#include "SharedThumbnail.h"

#include "DecodeGuard.h"
#include "MemoryReservation.h"
#include "PictureLog.h"
#include "RegularFile.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImageReader>

#include <unistd.h>

namespace Pictures {
namespace {

// The standard's largest thumbnails are 512 pixels a side (x-large) in a
// few hundred KiB; anything larger is not a thumbnail worth reading.
constexpr qint64 MaxFileBytes = 2 * 1024 * 1024;
constexpr int MaxSide = 512;
constexpr int NormalSide = 128;

std::string absolute(const std::string& path)
{
    if (!path.empty() && path.front() == '/')
        return path;
    std::string folder(4096, '\0');
    if (!::getcwd(folder.data(), folder.size()))
        return path;
    folder.resize(std::char_traits<char>::length(folder.c_str()));
    return folder + '/' + path;
}

QImage readChecked(const QByteArray& bytes, const QByteArray& uri, qint64 modifiedSeconds)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > MaxSide || size.height() > MaxSide)
        return {};
    MemoryReservation memory;
    if (memory.take(qint64(size.width()) * size.height() * 8) != Failure::None)
        return {};
    QImage image;
    if (!reader.read(&image) || DecodeGuard::Check() != Failure::None)
        return {};
    // From the image: the reader's own text() takes a key to end at its
    // first colon, and these keys hold two.
    if (image.text(QStringLiteral("Thumb::URI")).toUtf8() != uri ||
        image.text(QStringLiteral("Thumb::MTime")) != QString::number(modifiedSeconds))
        return {};
    return image;
}

} // namespace

QByteArray SharedThumbnail::Uri(const std::string& path)
{
    const std::string whole = absolute(path);
    // Unreserved characters, the path's separators and the sub-delimiters
    // stay; everything else, bytes of any encoding included, is escaped.
    return "file://" + QByteArray::fromStdString(whole).toPercentEncoding("!$&'()*+,;=:@/");
}

// Read through Qt, whose reading and setting of the environment share a
// lock: workers call this while the window's thread may set a variable.
std::string SharedThumbnail::Folder(const char* size)
{
    const QByteArray cache = qgetenv("XDG_CACHE_HOME");
    std::string folder;
    if (cache.startsWith('/')) {
        folder = cache.toStdString();
    } else {
        const QByteArray home = qgetenv("HOME");
        if (!home.startsWith('/'))
            return {};
        folder = home.toStdString() + "/.cache";
    }
    return folder + "/thumbnails/" + size;
}

QImage SharedThumbnail::Find(const std::string& path, const RegularFile& file, QSize cover)
{
    const bool large = std::max(cover.width(), cover.height()) > NormalSide;
    const std::string folder = Folder(large ? "large" : "normal");
    if (folder.empty() || !file.isOpen())
        return {};
    const QByteArray uri = Uri(path);
    const QByteArray name = QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
    const RegularFile cached(folder + '/' + name.toStdString());
    if (!cached.isOpen() || cached.size() > MaxFileBytes)
        return {};
    const QByteArray bytes = cached.prefix(cached.size());
    if (bytes.size() != cached.size())
        return {};
    QImage image = readChecked(bytes, uri, file.modifiedSeconds());
    if (image.isNull() || std::max(image.width(), image.height()) < std::max(cover.width(), cover.height()))
        return {};
    qCDebug(lcPictures).noquote() << "thumbnail from the shared cache:" << PrintablePath(path);
    return image;
}

} // namespace Pictures
