// Writes the fuzzer's seed corpus into the folder given: valid files of every
// kind the decoder takes apart, each small, so that the fuzzer starts from
// deep inside each decoder instead of finding the formats from nothing.
//   kalvio_fuzz_seeds DIR

#include "SampleFiles.h"

#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QPainter>

#include <cstdio>

namespace {

QImage testCard(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(40, 90, 200));
    QPainter painter(&image);
    painter.fillRect(0, 0, size.width() / 2, size.height() / 2, QColor(220, 40, 40));
    painter.fillRect(size.width() / 2, size.height() / 2, size.width() / 2, size.height() / 2, Qt::white);
    painter.setPen(Qt::black);
    painter.drawLine(0, size.height() - 1, size.width() - 1, 0);
    return image;
}

bool write(const QDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path()))
        return 1;
    using namespace Samples;
    const QImage card = testCard(QSize(48, 32));
    const QByteArray thumbnail = Jpeg(testCard(QSize(24, 16)), {.quality = 60});
    bool ok = true;
    const auto put = [&](const QString& name, const QByteArray& bytes) { ok = write(dir, name, bytes) && ok; };

    put("baseline.jpg", Jpeg(card));
    put("baseline-444.jpg", Jpeg(card, {.subsampled = false}));
    put("progressive.jpg", Jpeg(card, {.progressive = true}));
    put("restarts.jpg", Jpeg(card, {.restartRows = 1}));
    put("grey.jpg", Jpeg(card, {.colour = JpegColour::Grey}));
    put("grey-progressive.jpg", Jpeg(card, {.colour = JpegColour::Grey, .progressive = true}));
    put("cmyk.jpg", Jpeg(card, {.colour = JpegColour::Cmyk}));
    put("cmyk-adobe.jpg", Jpeg(card, {.colour = JpegColour::AdobeCmyk, .progressive = true}));
    put("adobe-rgb.jpg", Jpeg(card, {.iccProfile = QColorSpace(QColorSpace::AdobeRgb).iccProfile()}));
    put("truncated.jpg", Jpeg(card).chopped(40));
    for (int orientation = 1; orientation <= 8; ++orientation)
        put(QStringLiteral("exif-%1.jpg").arg(orientation),
            Jpeg(card, {.exif = Exif(orientation, {}, orientation % 2)}));
    put("exif-thumbnail.jpg", Jpeg(card, {.exif = Exif(6, thumbnail)}));
    put("exif-thumbnail-progressive.jpg", Jpeg(card, {.progressive = true, .exif = Exif(1, thumbnail, false)}));
    put("exif-truncated-ifd.jpg", Jpeg(card, {.exif = Exif(3, thumbnail, true, ExifDamage::TruncatedDirectory)}));
    put("exif-looping-ifd.jpg", Jpeg(card, {.exif = Exif(8, {}, false, ExifDamage::LoopingDirectories)}));
    put("exif-offsets-past-end.jpg", Jpeg(card, {.exif = Exif(2, thumbnail, true, ExifDamage::OffsetsPastEnd)}));
    put("exif-cycle.jpg", Jpeg(card, {.exif = CyclicExif(20)}));
    put("exif-info.jpg",
        Jpeg(card, {.exif = ExifWithInfo(
                        {.make = "Maker", .model = "Model", .lens = "Lens", .dateTaken = "2024:01:02 03:04:05"})}));
    // Texts that would disguise themselves on screen, numbers no camera writes.
    put("exif-info-hostile.jpg",
        Jpeg(card, {.exif = ExifWithInfo({.make = "Canon",
                                          .model = "EOS \xE2\x80\xAER5\x01\x1B" + QByteArray("\xCC\x81").repeated(600),
                                          .lens = QByteArray(300, '\x07'),
                                          .dateTaken = "0000:00:00 00:00:00",
                                          .exposure = {1, 0},
                                          .fNumber = {1, 0xFFFFFFFF},
                                          .iso = 0,
                                          .focalLength = {0xFFFFFFFF, 1}},
                                         false)}));
    // Declared sizes that 1:1 decodes at an eighth, rounded up by libjpeg.
    put("grey-38001x38000.jpg", WithFrameSize(Jpeg(card, {.colour = JpegColour::Grey}), QSize(38001, 38000)));
    put("rgb-40001x40001.jpg", WithFrameSize(Jpeg(card), QSize(40001, 40001)));
    // Markers before the frame that cost time, not memory: empty comments,
    // and garbage bytes libjpeg skips one by one.
    QByteArray comments = Jpeg(card);
    for (int i = 0; i < 4000; ++i)
        comments.insert(2, "\xFF\xFE\x00\x02", 4);
    put("comments-before-frame.jpg", comments);
    QByteArray garbage = Jpeg(card);
    garbage.insert(2, QByteArray("\xFF\xFE\x00\x02", 4) + QByteArray(65536, '\0'));
    put("garbage-before-frame.jpg", garbage);

    for (int depth : {1, 4, 8, 16, 24, 32})
        put(QStringLiteral("depth-%1.bmp").arg(depth), Bmp(card, {.depth = depth}));
    put("rle4.bmp", Bmp(card, {.depth = 4, .compression = BmpCompression::Rle}));
    put("rle8.bmp", Bmp(card, {.depth = 8, .compression = BmpCompression::Rle}));
    put("top-down.bmp", Bmp(card, {.depth = 24, .topDown = true}));

    put("still.gif", Gif(card));
    put("interlaced.gif", Gif(card.size(), {GifFrame{card, {}, true}}));
    put("animated.gif",
        Gif(QSize(64, 40), {GifFrame{card, {}, false}, GifFrame{testCard(QSize(20, 10)), {30, 20}, true}}));
    put("screen-larger.gif", Gif(QSize(80, 60), {GifFrame{card, {8, 8}, false}}));
    return ok ? 0 : 1;
}
