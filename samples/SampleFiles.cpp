#include "SampleFiles.h"

#include <QDataStream>
#include <QIODevice>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>

#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <cstdlib>
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

namespace Samples {
namespace {

// CMYK ink amounts (0 none, 255 full) of an RGB colour.
std::array<uchar, 4> inkOf(QRgb rgb)
{
    const int k = 255 - std::max({qRed(rgb), qGreen(rgb), qBlue(rgb)});
    const auto ink = [k](int channel) { return uchar(k == 255 ? 0 : (255 - channel - k) * 255 / (255 - k)); };
    return {ink(qRed(rgb)), ink(qGreen(rgb)), ink(qBlue(rgb)), uchar(k)};
}

std::vector<uchar> jpegRow(const QImage& image, int y, JpegColour colour)
{
    std::vector<uchar> row;
    const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
        switch (colour) {
        case JpegColour::Grey:
            row.push_back(uchar(qGray(pixels[x])));
            break;
        case JpegColour::Rgb:
            row.insert(row.end(), {uchar(qRed(pixels[x])), uchar(qGreen(pixels[x])), uchar(qBlue(pixels[x]))});
            break;
        case JpegColour::Cmyk:
        case JpegColour::AdobeCmyk:
        case JpegColour::AdobeYcck:
            for (uchar ink : inkOf(pixels[x]))
                row.push_back(colour == JpegColour::Cmyk ? ink : uchar(255 - ink));
            break;
        }
    }
    return row;
}

void put16(QByteArray& out, int value, bool bigEndian)
{
    out.append(char(bigEndian ? (value >> 8) & 0xFF : value & 0xFF));
    out.append(char(bigEndian ? value & 0xFF : (value >> 8) & 0xFF));
}

void put32(QByteArray& out, quint32 value, bool bigEndian)
{
    put16(out, int(bigEndian ? value >> 16 : value & 0xFFFF), bigEndian);
    put16(out, int(bigEndian ? value & 0xFFFF : value >> 16), bigEndian);
}

// One 12-byte directory entry of a SHORT (3) or LONG (4) value.
void putEntry(QByteArray& out, int tag, int type, quint32 value, bool bigEndian)
{
    put16(out, tag, bigEndian);
    put16(out, type, bigEndian);
    put32(out, 1, bigEndian);
    if (type == 3) {
        put16(out, int(value), bigEndian);
        put16(out, 0, bigEndian);
    } else {
        put32(out, value, bigEndian);
    }
}

QImage indexed(const QImage& image, int colours)
{
    QImage result = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    QList<QRgb> table = result.colorTable();
    table.resize(colours);
    result.setColorTable(table);
    for (int y = 0; y < result.height(); ++y) {
        uchar* row = result.scanLine(y);
        for (int x = 0; x < result.width(); ++x)
            row[x] = uchar(row[x] % colours);
    }
    return result;
}

// Rows of a BMP, bottom row first unless top-down, each padded to 4 bytes.
QByteArray bmpPixels(const QImage& image, const BmpOptions& options)
{
    QByteArray data;
    for (int i = 0; i < image.height(); ++i) {
        const int y = options.topDown ? i : image.height() - 1 - i;
        const uchar* row = image.constScanLine(y);
        QByteArray line;
        if (options.compression == BmpCompression::Rle) {
            // Runs of one index; RLE4 packs two pixels of the run per byte.
            for (int x = 0; x < image.width();) {
                int run = 1;
                while (x + run < image.width() && run < 255 && row[x + run] == row[x])
                    ++run;
                line.append(char(run)).append(char(options.depth == 4 ? (row[x] << 4) | row[x] : row[x]));
                x += run;
            }
            line.append('\0').append(i + 1 == image.height() ? '\1' : '\0'); // end of line, or of bitmap
            data.append(line);
            continue;
        }
        for (int x = 0; x < image.width(); ++x) {
            const QRgb rgb = image.format() == QImage::Format_Indexed8 ? 0 : reinterpret_cast<const QRgb*>(row)[x];
            switch (options.depth) {
            case 1:
            case 4:
                if (x % (8 / options.depth) == 0)
                    line.append('\0');
                line.back() = char(uchar(line.back()) |
                                   (row[x] << (8 - options.depth - (x % (8 / options.depth)) * options.depth)));
                break;
            case 8:
                line.append(char(row[x]));
                break;
            case 16:
                line.append(char(((qGreen(rgb) >> 3) << 5 | (qBlue(rgb) >> 3)) & 0xFF));
                line.append(char((qRed(rgb) >> 3) << 2 | (qGreen(rgb) >> 6)));
                break;
            default:
                line.append(char(qBlue(rgb))).append(char(qGreen(rgb))).append(char(qRed(rgb)));
                if (options.depth == 32)
                    line.append('\0');
            }
        }
        while (line.size() % 4)
            line.append('\0');
        data.append(line);
    }
    return data;
}

// Pixels as uncompressed 9-bit LZW codes; a clear code every 253 keeps the
// code width from growing.
QByteArray lzwBlocks(const QImage& image, bool interlaced)
{
    QList<int> rows;
    if (interlaced) {
        for (const auto& [first, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
            for (int y = first; y < image.height(); y += step)
                rows << y;
        }
    } else {
        for (int y = 0; y < image.height(); ++y)
            rows << y;
    }
    QByteArray data;
    quint32 buffer = 0;
    int bits = 0, written = 0;
    const auto put = [&](int code) {
        buffer |= quint32(code) << bits;
        for (bits += 9; bits >= 8; bits -= 8, buffer >>= 8)
            data.append(char(buffer & 0xFF));
    };
    for (int y : rows) {
        for (int x = 0; x < image.width(); ++x, ++written) {
            if (written % 253 == 0)
                put(256);
            put(image.pixelIndex(x, y));
        }
    }
    put(257);
    data.append(char(buffer & 0xFF));
    QByteArray blocks(1, char(8)); // minimum code size
    for (qsizetype at = 0; at < data.size(); at += 255)
        blocks.append(char(data.mid(at, 255).size())).append(data.mid(at, 255));
    return blocks.append('\0');
}

// The size bits of a colour table for image's colours, as the screen's or a
// frame's flags hold them: the table holds 2 << bits colours.
int colourTableBits(const QImage& image)
{
    int bits = 0;
    while ((2 << bits) < image.colorCount() && bits < 7)
        ++bits;
    return bits;
}

void putColourTable(QDataStream& stream, const QImage& image)
{
    QList<QRgb> table = image.colorTable();
    table.resize(2 << colourTableBits(image));
    for (QRgb rgb : table)
        stream << quint8(qRed(rgb)) << quint8(qGreen(rgb)) << quint8(qBlue(rgb));
}

} // namespace

QByteArray Jpeg(const QImage& source, const JpegOptions& options)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    const bool cmyk = options.colour == JpegColour::Cmyk || options.colour == JpegColour::AdobeCmyk ||
                      options.colour == JpegColour::AdobeYcck;
    cinfo.input_components = options.colour == JpegColour::Grey ? 1 : cmyk ? 4 : 3;
    cinfo.in_color_space = options.colour == JpegColour::Grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.colour == JpegColour::AdobeYcck)
        jpeg_set_colorspace(&cinfo, JCS_YCCK);
    if (cmyk)
        cinfo.write_Adobe_marker = options.colour != JpegColour::Cmyk;
    if (!options.subsampled || cmyk) {
        for (int c = 0; c < cinfo.num_components; ++c)
            cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    }
    std::vector<jpeg_scan_info> scans;
    if (options.scanPerCoefficient) {
        scans.push_back({cinfo.num_components, {0, 1, 2, 3}, 0, 0, 0, 0});
        for (int c = 0; c < cinfo.num_components; ++c) {
            for (int k = 1; k < 64; ++k)
                scans.push_back({1, {c}, k, k, 0, 0});
        }
        cinfo.scan_info = scans.data();
        cinfo.num_scans = int(scans.size());
    } else if (options.progressive) {
        jpeg_simple_progression(&cinfo);
    }
    cinfo.restart_in_rows = options.restartRows;
    cinfo.write_JFIF_header = options.exif.isEmpty() && !cmyk; // cameras write EXIF instead
    jpeg_start_compress(&cinfo, TRUE);
    if (!options.exif.isEmpty())
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(options.exif.constData()),
                          unsigned(options.exif.size()));
    if (!options.iccProfile.isEmpty())
        jpeg_write_icc_profile(&cinfo, reinterpret_cast<const JOCTET*>(options.iccProfile.constData()),
                               unsigned(options.iccProfile.size()));
    for (int y = 0; y < image.height(); ++y) {
        std::vector<uchar> row = jpegRow(image, y, options.colour);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

// A picture with the structure of a photograph, different for every seed: a
// graded sky, a soft light, overlapping shapes with graded fills, thin lines
// and grain in every channel. The grain and the edges keep the JPEG's
// coefficients busy, so decoding costs what a real photograph costs.
QImage Photograph(QSize size, quint32 seed)
{
    std::mt19937 random(seed);
    auto uniform = [&random](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    auto colour = [&uniform](int alpha) {
        return QColor::fromHsv(int(uniform(0, 359)), int(uniform(40, 230)), int(uniform(60, 255)), alpha);
    };

    QImage image(size, QImage::Format_RGB32);
    const double w = size.width();
    const double h = size.height();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(QPointF(uniform(0, w), 0), QPointF(uniform(0, w), h));
    sky.setColorAt(0, colour(255));
    sky.setColorAt(uniform(0.3, 0.7), colour(255));
    sky.setColorAt(1, colour(255));
    painter.fillRect(image.rect(), sky);

    QRadialGradient light(QPointF(uniform(0, w), uniform(0, h)), uniform(0.2, 0.7) * w);
    light.setColorAt(0, QColor(255, 255, 240, int(uniform(60, 150))));
    light.setColorAt(1, QColor(255, 255, 240, 0));
    painter.fillRect(image.rect(), light);

    painter.setPen(Qt::NoPen);
    const int shapes = 25 + int(seed % 20);
    for (int k = 0; k < shapes; ++k) {
        const double side = uniform(0.03, 0.3) * w;
        const QRectF rect(uniform(-0.1, 1.0) * w, uniform(-0.1, 1.0) * h, side, side * uniform(0.4, 1.6));
        QLinearGradient fill(rect.topLeft(), rect.bottomRight());
        const int alpha = int(uniform(120, 255));
        fill.setColorAt(0, colour(alpha));
        fill.setColorAt(1, colour(alpha));
        painter.setBrush(fill);
        switch (k % 3) {
        case 0:
            painter.drawEllipse(rect);
            break;
        case 1:
            painter.save();
            painter.translate(rect.center());
            painter.rotate(uniform(0, 90));
            painter.drawRect(rect.translated(-rect.center()));
            painter.restore();
            break;
        default: {
            const QPointF corners[] = {rect.topLeft() + QPointF(uniform(0, side), 0), rect.bottomRight(),
                                       rect.bottomLeft() + QPointF(0, -uniform(0, side))};
            painter.drawPolygon(corners, 3);
            break;
        }
        }
    }

    painter.setBrush(Qt::NoBrush);
    for (int k = 0; k < 40; ++k) {
        painter.setPen(QPen(colour(int(uniform(100, 255))), uniform(2, 14), Qt::SolidLine, Qt::RoundCap));
        QPainterPath stroke(QPointF(uniform(0, w), uniform(0, h)));
        stroke.cubicTo(QPointF(uniform(0, w), uniform(0, h)), QPointF(uniform(0, w), uniform(0, h)),
                       QPointF(uniform(0, w), uniform(0, h)));
        painter.drawPath(stroke);
    }
    painter.end();

    // Grain: a cheap xorshift per pixel, amplitude varying from picture to picture.
    const int amplitude = 6 + int(seed % 7);
    quint32 state = seed * 2654435761u + 12345u;
    auto grain = [&state, amplitude]() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return int(state % quint32(2 * amplitude + 1)) - amplitude;
    };
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            line[x] = qRgb(std::clamp(qRed(pixel) + grain(), 0, 255), std::clamp(qGreen(pixel) + grain(), 0, 255),
                           std::clamp(qBlue(pixel) + grain(), 0, 255));
        }
    }
    return image;
}

QList<NamedFile> HostileFiles()
{
    QImage small(64, 48, QImage::Format_RGB32);
    small.fill(QColor(30, 120, 60));
    const QByteArray progressive = Jpeg(small, {.progressive = true});
    // libjpeg skips any number of 0xFF fill bytes before a marker.
    QByteArray filled = WithFrameSize(progressive, QSize(30000, 30000));
    filled.insert(filled.indexOf("\xFF\xC2"), QByteArray(8, '\xFF'));
    QImage strip(20'000'000, 1, QImage::Format_Mono);
    strip.fill(1);
    const auto gifOver = [](QSize screen, QSize frame) {
        QImage image(frame, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        return Gif(screen, {GifFrame{image, {}, false}});
    };
    QImage rle(16, 16, QImage::Format_RGB32);
    rle.fill(Qt::darkRed);
    const auto bmpClaiming = [&rle](QSize size, int depth) {
        QByteArray bytes = Bmp(rle, {.depth = depth, .compression = BmpCompression::Rle});
        for (int i = 0; i < 4; ++i) {
            bytes[18 + i] = char((size.width() >> (8 * i)) & 0xFF);
            bytes[22 + i] = char((size.height() >> (8 * i)) & 0xFF);
        }
        return bytes;
    };
    // The last scan of libjpeg's script, a refinement pass over every luma
    // block, repeated: 60 scans over a frame of 5600 x 5600.
    const qsizetype lastScan = progressive.lastIndexOf("\xFF\xDA");
    QByteArray refinements = WithFrameSize(progressive.left(progressive.size() - 2), QSize(5600, 5600));
    for (int i = 0; i < 50; ++i)
        refinements += progressive.mid(lastScan, progressive.size() - 2 - lastScan);
    refinements += "\xFF\xD9";
    return {
        {"progressive 30000 x 30000 behind fill bytes", filled},
        {"progressive 5600 x 5600 of 60 scans", refinements},
        {"progressive 30000 x 30000", WithFrameSize(progressive, QSize(30000, 30000))},
        {"progressive of 190 scans", Jpeg(small, {.scanPerCoefficient = true})},
        {"baseline 65500 x 65500 in 2 KB", WithFrameSize(Jpeg(small), QSize(65500, 65500))},
        {"baseline 20000 x 20000 in 2 KB", WithFrameSize(Jpeg(small), QSize(20000, 20000))},
        {"RLE8 BMP 8000 x 8000", bmpClaiming(QSize(8000, 8000), 8)},
        {"RLE4 BMP 4000 x 4000", bmpClaiming(QSize(4000, 4000), 4)},
        {"1-bit BMP 20000000 x 1", Bmp(strip, {.depth = 1})},
        {"GIF screen 8190 x 8190 over 1000 x 1000", gifOver(QSize(8190, 8190), QSize(1000, 1000))},
        {"GIF screen 3000 x 3000 over 400 x 400", gifOver(QSize(3000, 3000), QSize(400, 400))},
        // At 1:1 these decode at an eighth, a size libjpeg rounds up: one
        // pixel more than the picture's shape, which once made a converted
        // and a scaled copy nobody counted (743 MiB for 143 bytes).
        {"grey baseline 38001 x 38000", WithFrameSize(Jpeg(small, {.colour = JpegColour::Grey}), QSize(38001, 38000))},
        {"baseline 40001 x 40001", WithFrameSize(Jpeg(small), QSize(40001, 40001))},
    };
}

QByteArray WithFrameSize(QByteArray jpeg, QSize size)
{
    for (qsizetype at = 2; at + 9 < jpeg.size();) {
        const int marker = uchar(jpeg[at + 1]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            jpeg[at + 5] = char(size.height() >> 8);
            jpeg[at + 6] = char(size.height() & 0xFF);
            jpeg[at + 7] = char(size.width() >> 8);
            jpeg[at + 8] = char(size.width() & 0xFF);
            break;
        }
        at += 2 + ((uchar(jpeg[at + 2]) << 8) | uchar(jpeg[at + 3]));
    }
    return jpeg;
}

QByteArray Exif(int orientation, const QByteArray& thumbnail, bool bigEndian, ExifDamage damage)
{
    QByteArray tiff(bigEndian ? "MM" : "II");
    put16(tiff, 42, bigEndian);
    put32(tiff, 8, bigEndian);
    const int ifd0Entries = orientation ? 1 : 0;
    const quint32 ifd1 = 8 + 2 + 12 * ifd0Entries + 4;
    put16(tiff, damage == ExifDamage::TruncatedDirectory ? 400 : ifd0Entries, bigEndian);
    if (orientation)
        putEntry(tiff, 0x0112, 3, quint32(orientation), bigEndian);
    const bool next = !thumbnail.isEmpty() || damage == ExifDamage::LoopingDirectories;
    put32(tiff, !next ? 0 : damage == ExifDamage::LoopingDirectories ? 8 : ifd1, bigEndian);
    if (!thumbnail.isEmpty()) {
        const quint32 data = ifd1 + 2 + 12 * 3 + 4;
        const bool past = damage == ExifDamage::OffsetsPastEnd;
        put16(tiff, 3, bigEndian);
        putEntry(tiff, 0x0103, 3, 6, bigEndian); // JPEG compression
        putEntry(tiff, 0x0201, 4, past ? 0x7FFFFF00 : data, bigEndian);
        putEntry(tiff, 0x0202, 4, past ? 0x7FFFFFFF : quint32(thumbnail.size()), bigEndian);
        put32(tiff, 0, bigEndian);
        tiff.append(thumbnail);
    }
    return QByteArray("Exif\0\0", 6) + tiff;
}

QByteArray CyclicExif(int pointers)
{
    QByteArray tiff("II");
    put16(tiff, 42, false);
    put32(tiff, 8, false);
    const quint32 bytesPerDirectory = 2 + 12 * quint32(pointers) + 4;
    const quint32 second = 8 + bytesPerDirectory, third = second + bytesPerDirectory;
    const auto directory = [&](int tag, quint32 target) {
        put16(tiff, pointers, false);
        for (int i = 0; i < pointers; ++i)
            putEntry(tiff, tag, 4, target, false);
        put32(tiff, 0, false);
    };
    directory(0x8769, second); // IFD0: Exif directory pointers
    directory(0x8825, third);  // GPS directory pointers
    directory(0x8769, second); // and back
    return QByteArray("Exif\0\0", 6) + tiff;
}

QByteArray ExifWithInfo(const ExifInfo& info, bool bigEndian)
{
    // Directory entries first, their values after the directories.
    struct Field {
        int tag, type;
        QByteArray value; // already in the file's byte order
    };
    const auto text = [](const QByteArray& characters) { return characters + '\0'; };
    const auto fraction = [bigEndian](const quint32(&parts)[2]) {
        QByteArray bytes;
        put32(bytes, parts[0], bigEndian);
        put32(bytes, parts[1], bigEndian);
        return bytes;
    };
    QByteArray iso;
    put16(iso, info.iso, bigEndian);
    put16(iso, 0, bigEndian);
    const std::vector<Field> ifd0{{0x010F, 2, text(info.make)}, {0x0110, 2, text(info.model)}};
    std::vector<Field> exif;
    if (!info.exifMake.isEmpty())
        exif.push_back({0x010F, 2, text(info.exifMake)});
    if (!info.exifModel.isEmpty())
        exif.push_back({0x0110, 2, text(info.exifModel)});
    exif.insert(exif.end(), {{0x829A, 5, fraction(info.exposure)},
                             {0x829D, 5, fraction(info.fNumber)},
                             {0x8827, 3, iso},
                             {0x9003, 2, text(info.dateTaken)},
                             {0x920A, 5, fraction(info.focalLength)},
                             {0xA434, 2, text(info.lens)}});
    const quint32 ifd0Bytes = 2 + 12 * quint32(ifd0.size() + 1) + 4;
    const quint32 exifAt = 8 + ifd0Bytes;
    quint32 valuesAt = exifAt + 2 + 12 * quint32(exif.size()) + 4;
    QByteArray values;
    QByteArray tiff(bigEndian ? "MM" : "II");
    put16(tiff, 42, bigEndian);
    put32(tiff, 8, bigEndian);
    const auto putFields = [&](const std::vector<Field>& fields) {
        for (const Field& field : fields) {
            put16(tiff, field.tag, bigEndian);
            put16(tiff, field.type, bigEndian);
            put32(tiff,
                  quint32(field.type == 5   ? field.value.size() / 8
                          : field.type == 3 ? 1
                                            : field.value.size()),
                  bigEndian);
            if (field.value.size() <= 4) {
                tiff.append(field.value.leftJustified(4, '\0'));
            } else {
                put32(tiff, valuesAt + quint32(values.size()), bigEndian);
                values.append(field.value);
            }
        }
    };
    put16(tiff, int(ifd0.size() + 1), bigEndian);
    putFields(ifd0);
    putEntry(tiff, 0x8769, 4, exifAt, bigEndian);
    put32(tiff, 0, bigEndian);
    put16(tiff, int(exif.size()), bigEndian);
    putFields(exif);
    put32(tiff, 0, bigEndian);
    return QByteArray("Exif\0\0", 6) + tiff + values;
}

QByteArray Bmp(const QImage& source, const BmpOptions& options)
{
    const int colours = options.depth <= 8 ? 1 << options.depth : 0;
    const QImage image = colours ? indexed(source, colours) : source.convertToFormat(QImage::Format_RGB32);
    const bool rle = options.compression == BmpCompression::Rle && (options.depth == 4 || options.depth == 8);
    const QByteArray pixels =
        bmpPixels(image, {options.depth, rle ? BmpCompression::Rle : BmpCompression::None, options.topDown && !rle});
    const quint32 offset = 14 + 40 + 4 * colours;
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.writeRawData("BM", 2);
    stream << quint32(offset + pixels.size()) << quint32(0) << offset;
    stream << quint32(40) << qint32(image.width()) << qint32(options.topDown && !rle ? -image.height() : image.height())
           << quint16(1) << quint16(options.depth) << quint32(rle ? (options.depth == 8 ? 1 : 2) : 0)
           << quint32(pixels.size()) << qint32(2835) << qint32(2835) << quint32(colours) << quint32(0);
    for (int i = 0; i < colours; ++i) {
        const QRgb rgb = i < image.colorCount() ? image.color(i) : 0;
        stream << quint8(qBlue(rgb)) << quint8(qGreen(rgb)) << quint8(qRed(rgb)) << quint8(0);
    }
    stream.writeRawData(pixels.constData(), int(pixels.size()));
    return out;
}

QByteArray Gif(QSize screen, const QList<GifFrame>& frames, int loops)
{
    QByteArray out("GIF89a");
    QDataStream stream(&out, QIODevice::Append);
    stream.setByteOrder(QDataStream::LittleEndian);
    QList<QImage> images;
    for (const GifFrame& frame : frames)
        images << frame.image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QImage first = images.value(0, QImage(1, 1, QImage::Format_Indexed8));
    stream << quint16(screen.width()) << quint16(screen.height()) << quint8(0xF0 | colourTableBits(first)) << quint8(0)
           << quint8(0);
    putColourTable(stream, first);
    if (frames.size() > 1 && loops >= 0) {
        stream.writeRawData("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
        stream << quint16(loops) << quint8(0);
    }
    for (qsizetype i = 0; i < frames.size(); ++i) {
        const GifFrame& frame = frames[i];
        const QList<QRgb> table = images[i].colorTable();
        const qsizetype transparent = frame.transparent ? table.indexOf(*frame.transparent) : -1;
        if (frames.size() > 1 || transparent >= 0) { // graphic control: disposal, delay, transparent index
            stream << quint8(0x21) << quint8(0xF9) << quint8(4)
                   << quint8(frame.disposal << 2 | (transparent >= 0 ? 1 : 0)) << quint16(frame.delay)
                   << quint8(std::max<qsizetype>(transparent, 0)) << quint8(0);
        }
        stream << quint8(',') << quint16(frame.offset.x()) << quint16(frame.offset.y()) << quint16(images[i].width())
               << quint16(images[i].height())
               << quint8((i > 0 ? 0x80 | colourTableBits(images[i]) : 0) | (frame.interlaced ? 0x40 : 0));
        if (i > 0)
            putColourTable(stream, images[i]);
        const QByteArray data = lzwBlocks(images[i], frame.interlaced);
        stream.writeRawData(data.constData(), int(data.size()));
    }
    stream << quint8(';');
    return out;
}

} // namespace Samples
