#include "PictureSets.h"

#include "Decode.h"
#include "EmbeddedThumbnail.h"
#include "ExifBlock.h"
#include "JpegDecoder.h"
#include "SampleFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace PictureSets {
namespace {

// Quality 95 gives files of about 4 MB, as a 12-megapixel camera writes.
constexpr int JpegQuality = 95;
constexpr int ThumbnailQuality = 85;
constexpr int PlainCount = 2 * PageCells;
// The pictures are dated well in the past, so that a copy a peer program
// dates like its source (as nsxiv does its cached thumbnails once written)
// can be told from one still being written.
constexpr time_t PictureDate = 1577836800; // 2020-01-01
// Written last into a set's folder, naming how the set was made: a set made
// otherwise, or left half made, is made again.
const QString StampName = QStringLiteral(".kalvio-bench-set");

using Encoder = std::function<QByteArray(const QImage& photo)>;

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "kalvio_bench: %s\n", qPrintable(message));
    std::exit(1);
}

QByteArray readStamp(const QString& folder)
{
    QFile stamp(QDir(folder).filePath(StampName));
    return stamp.open(QIODevice::ReadOnly) ? stamp.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

void datePicture(const QString& path)
{
    const timespec times[2] = {{PictureDate, 0}, {PictureDate, 0}};
    if (::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) != 0)
        fail(QStringLiteral("cannot date %1").arg(path));
}

QString pictureName(int number)
{
    return QStringLiteral("IMG_%1.JPG").arg(number, 6, 10, QLatin1Char('0'));
}

QStringList pathsIn(const QString& folder, int count)
{
    QStringList paths;
    for (int number = 1; number <= count; ++number)
        paths << QDir(folder).filePath(pictureName(number));
    return paths;
}

void makeFolder(const QString& folder)
{
    if (!QDir().mkpath(folder))
        fail(QStringLiteral("cannot create %1").arg(folder));
    QFile::remove(QDir(folder).filePath(StampName));
}

// The pictures of a set, photograph `number` made with seed `number`.
Set pictureSet(const QString& folder, int count, const QByteArray& recipe, const Encoder& encode)
{
    const Set set{folder, pathsIn(folder, count)};
    if (readStamp(folder) == recipe)
        return set;
    makeFolder(folder);
    std::printf("Making %d pictures in %s (once; later runs reuse them) ", count, qPrintable(folder));
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    for (int number = 1; number <= count; ++number) {
        writeFile(set.paths[number - 1], encode(Samples::Photograph(PhotoSize, quint32(number))));
        datePicture(set.paths[number - 1]);
        std::printf(".");
        std::fflush(stdout);
    }
    writeFile(QDir(folder).filePath(StampName), recipe);
    std::printf(" %.0f s\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return set;
}

QByteArray recipe(const char* kind, int count)
{
    return QStringLiteral("%1 %2 pictures of %3 x %4, quality %5, dated 2020\n")
        .arg(QString::fromLatin1(kind))
        .arg(count)
        .arg(PhotoSize.width())
        .arg(PhotoSize.height())
        .arg(JpegQuality)
        .toUtf8();
}

// The same pictures under the same names in another folder, sharing their
// data (and so their pages in the page cache).
void linkPictures(const Set& from, const QString& folder)
{
    for (const QString& path : from.paths) {
        const QString link = QDir(folder).filePath(QFileInfo(path).fileName());
        QFile::remove(link);
        if (::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()) != 0 &&
            !QFile::copy(path, link))
            fail(QStringLiteral("cannot link or copy %1 to %2").arg(path, link));
    }
}

void makeEmptyFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(QStringLiteral("cannot create %1").arg(path));
    ::close(fd);
}

Set folderOf(const QString& folder, const Set& first, int names)
{
    const Set set{folder, pathsIn(folder, names)};
    const QByteArray made = QStringLiteral("%1 names, the first %2 linked from %3\n")
                                .arg(names)
                                .arg(first.paths.size())
                                .arg(first.folder)
                                .toUtf8();
    if (readStamp(folder) == made)
        return set;
    makeFolder(folder);
    std::printf("Making a folder of %d names in %s (once)\n", names, qPrintable(folder));
    std::fflush(stdout);
    linkPictures(first, folder);
    for (int number = int(first.paths.size()) + 1; number <= names; ++number)
        makeEmptyFile(set.paths[number - 1]);
    writeFile(QDir(folder).filePath(StampName), made);
    return set;
}

} // namespace

Set Plain(const QString& root)
{
    return pictureSet(QDir(root).filePath(QStringLiteral("plain")), PlainCount, recipe("baseline", PlainCount),
                      [](const QImage& photo) { return Samples::Jpeg(photo, {.quality = JpegQuality}); });
}

Set Camera(const QString& root)
{
    const QByteArray made = recipe("camera", PageCells) + QByteArray("EXIF thumbnail 160 x 120\n");
    return pictureSet(QDir(root).filePath(QStringLiteral("camera")), PageCells, made, [](const QImage& photo) {
        const QImage small = photo.scaled(ExifThumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QByteArray thumbnail = Samples::Jpeg(small, {.quality = ThumbnailQuality});
        return Samples::Jpeg(photo, {.quality = JpegQuality, .exif = Samples::Exif(1, thumbnail)});
    });
}

Set Progressive(const QString& root)
{
    return pictureSet(
        QDir(root).filePath(QStringLiteral("progressive")), PageCells, recipe("progressive", PageCells),
        [](const QImage& photo) { return Samples::Jpeg(photo, {.progressive = true, .quality = JpegQuality}); });
}

Set ManyNamesAfter(const QString& root, const Set& first)
{
    return folderOf(QDir(root).filePath(QStringLiteral("names-%1").arg(ManyNames)), first, ManyNames);
}

Set FewNames(const QString& root, const Set& first)
{
    return folderOf(QDir(root).filePath(QStringLiteral("names-%1").arg(first.paths.size())), first,
                    int(first.paths.size()));
}

QString EmptyFolder(const QString& root)
{
    const QString folder = QDir(root).filePath(QStringLiteral("empty"));
    if (!QDir().mkpath(folder))
        fail(QStringLiteral("cannot create %1").arg(folder));
    return folder;
}

bool DecoderTakesEmbeddedThumbnail(const Set& camera, int cellLongSide)
{
    QFile file(camera.paths.value(0));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    Pictures::JpegDecoder jpeg{QByteArrayView(bytes)};
    if (jpeg.readHeader() != Pictures::Failure::None)
        return false;
    const Pictures::ExifBlock exif(jpeg.exifPayload());
    const QSize cover = Pictures::DecodeSize(jpeg.size(), cellLongSide);
    return !Pictures::EmbeddedThumbnail::Choose(exif.thumbnail(), jpeg.size(), cover).isNull();
}

} // namespace PictureSets
