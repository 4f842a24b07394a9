#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>

#include <optional>

// Picture files made in code, byte for byte the same on every run: JPEGs
// written with libjpeg in every colour model and coding, BMPs of every depth
// and compression, GIFs with their own screens, frames and interlacing, and
// EXIF blocks with an orientation, a thumbnail or broken directories.
namespace Samples {

// AdobeYcck: inverted CMYK coded as YCCK, as Adobe's applications write it.
enum class JpegColour { Rgb, Grey, Cmyk, AdobeCmyk, AdobeYcck };

struct JpegOptions {
    JpegColour colour = JpegColour::Rgb;
    bool progressive = false;
    int quality = 90;
    bool subsampled = true;  // 4:2:0 chroma
    int restartRows = 0;     // a restart marker every this many MCU rows
    QByteArray exif{};       // APP1 payload, "Exif\0\0" and the TIFF structure
    QByteArray iccProfile{}; // written as APP2 chunks
    // Progressive, with every AC coefficient of every component in a scan of its own.
    bool scanPerCoefficient = false;
};
QByteArray Jpeg(const QImage& image, const JpegOptions& options = {});

// Rewrites the size in a JPEG's first frame header.
QByteArray WithFrameSize(QByteArray jpeg, QSize size);

enum class ExifDamage { None, TruncatedDirectory, LoopingDirectories, OffsetsPastEnd };
// An EXIF APP1 payload with an orientation tag (0: none) and an optional
// thumbnail (JPEG bytes) in IFD1, big- or little-endian.
QByteArray Exif(int orientation, const QByteArray& thumbnail = {}, bool bigEndian = true,
                ExifDamage damage = ExifDamage::None);

// An EXIF payload whose directories point at each other in a cycle: IFD0
// holds `pointers` Exif-directory pointers, all to a second directory of as
// many GPS-directory pointers, all to a third one of as many Exif-directory
// pointers back at the second. Little-endian.
QByteArray CyclicExif(int pointers);

// What a camera says of how a photograph was taken, for ExifWithInfo().
struct ExifInfo {
    QByteArray make{}, model{}, lens{};
    QByteArray dateTaken{};         // "YYYY:MM:DD HH:MM:SS"
    quint32 exposure[2] = {1, 250}; // seconds, as a fraction
    quint32 fNumber[2] = {28, 10};
    int iso = 400;
    quint32 focalLength[2] = {50, 1}; // millimetres
    // Make and Model in the Exif directory as well, where some writers put
    // them (left out when empty).
    QByteArray exifMake{}, exifModel{};
};
// An EXIF payload with IFD0's Make and Model and an Exif directory holding
// the rest of info, big- or little-endian.
QByteArray ExifWithInfo(const ExifInfo& info, bool bigEndian = true);

enum class BmpCompression { None, Rle };
struct BmpOptions {
    int depth = 24; // 1, 4, 8, 16, 24 or 32; RLE for 4 and 8
    BmpCompression compression = BmpCompression::None;
    bool topDown = false; // rows stored first to last (a negative height)
};
QByteArray Bmp(const QImage& image, const BmpOptions& options = {});

struct GifFrame {
    QImage image{};
    QPoint offset{};
    bool interlaced = false;
    int delay = 10;                    // hundredths of a second, in an animation
    int disposal = 1;                  // after its delay the frame 1 stays, 2 is cleared to the background, 3 is undone
    std::optional<QRgb> transparent{}; // the image's colour that leaves the screen under it as it is
};
// A GIF whose logical screen is `screen`, with the frames given (more than
// one makes it animated). An animation plays `loops` more times after the
// first, 0 for ever; -1 leaves its looping block out (it plays once).
QByteArray Gif(QSize screen, const QList<GifFrame>& frames, int loops = 0);
inline QByteArray Gif(const QImage& image)
{
    return Gif(image.size(), {GifFrame{image, {}, false}});
}

// A picture with the structure of a photograph, different for every seed:
// gradients, shapes, lines and grain, so that coding and decoding it costs
// what a real photograph costs.
QImage Photograph(QSize size, quint32 seed);

// Small files built to cost a decoder far more than their size: headers
// that claim enormous frames, screens or strips over almost no data, fill
// bytes that hide a progressive frame, a progressive file of 190 scans. Each
// has a name that says what it is.
struct NamedFile {
    QString name;
    QByteArray bytes;
};
QList<NamedFile> HostileFiles();

} // namespace Samples
