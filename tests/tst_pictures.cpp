// Decoding picture files: at the size they are drawn, and never at the size a
// hostile header claims.

#include "TestSupport.h"

#include "Pictures.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QtTest>

#include <sys/resource.h>

using namespace TestSupport;

namespace {

// Highest resident memory of the process so far, in MiB.
long peakMegabytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

QByteArray littleEndian(quint32 value, int bytes)
{
    QByteArray out;
    for (int b = 0; b < bytes; ++b)
        out.append(char((value >> (8 * b)) & 0xFF));
    return out;
}

// A GIF that declares 60000 x 60000 pixels and holds almost nothing.
QByteArray hugeGif()
{
    const QByteArray size = littleEndian(60000, 2) + littleEndian(60000, 2);
    QByteArray gif("GIF89a");
    gif.append(size).append("\x80\0\0", 3).append(QByteArray(6, '\0'));
    gif.append(',').append(QByteArray(4, '\0')).append(size).append('\0');
    gif.append("\x02\x02\x4C\x01\0;", 6);
    return gif;
}

// A 24-bit BMP header that declares side x side pixels, without pixels.
QByteArray hugeBmp(int side)
{
    QByteArray bmp("BM");
    bmp += littleEndian(54, 4) + littleEndian(0, 4) + littleEndian(54, 4);
    bmp += littleEndian(40, 4) + littleEndian(side, 4) + littleEndian(side, 4);
    bmp += littleEndian(1, 2) + littleEndian(24, 2) + QByteArray(24, '\0');
    return bmp;
}

QByteArray jpeg(const QImage& image, bool progressive)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setProgressiveScanWrite(progressive);
    writer.setQuality(90);
    return writer.write(image) ? bytes : QByteArray();
}

// A small progressive JPEG whose frame header is changed to declare
// side x side pixels. libjpeg keeps a progressive picture's coefficients for
// the whole frame, whatever size it is asked to decode to.
QByteArray hugeProgressiveJpeg(int side)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes = jpeg(image, true);
    const qsizetype frame = bytes.indexOf(QByteArray("\xFF\xC2", 2));
    if (frame < 0)
        return {};
    // Marker, length, precision, then height and width, big-endian.
    for (int field : {5, 7}) {
        bytes[frame + field] = char(side >> 8);
        bytes[frame + field + 1] = char(side & 0xFF);
    }
    return bytes;
}

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void enormousDeclaredSizeIsRefusedCheaply_data();
    void enormousDeclaredSizeIsRefusedCheaply();
    void jpegIsDecodedAtTheSizeDrawn_data();
    void jpegIsDecodedAtTheSizeDrawn();
};

void PicturesTest::enormousDeclaredSizeIsRefusedCheaply_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    // The size the header is read as; none where Qt's reader refuses it itself.
    QTest::addColumn<QSize>("declared");
    QTest::newRow("GIF 60000 x 60000") << QStringLiteral("Huge.GIF") << hugeGif() << QSize(60000, 60000);
    QTest::newRow("BMP 60000 x 60000") << QStringLiteral("Huge.BMP") << hugeBmp(60000) << QSize();
    QTest::newRow("BMP 16000 x 16000") << QStringLiteral("Huge.BMP") << hugeBmp(16000) << QSize(16000, 16000);
    QTest::newRow("progressive JPEG 30000 x 30000")
        << QStringLiteral("Huge.JPG") << hugeProgressiveJpeg(30000) << QSize(30000, 30000);
}

void PicturesTest::enormousDeclaredSizeIsRefusedCheaply()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, declared);
    QVERIFY(bytes.size() > 20);
    PictureFolder folder;
    const QString path = folder.addFile(name, bytes);
    QCOMPARE(Pictures::Size(path).value_or(QSize()), declared);

    const long before = peakMegabytes();
    QElapsedTimer timer;
    timer.start();
    for (int longSide : {120, 0})
        QVERIFY(!Pictures::Load(path, longSide));
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY2(peakMegabytes() - before < 100, qPrintable(QString::number(peakMegabytes() - before)));
}

void PicturesTest::jpegIsDecodedAtTheSizeDrawn_data()
{
    QTest::addColumn<bool>("progressive");
    QTest::newRow("baseline") << false;
    QTest::newRow("progressive") << true;
}

void PicturesTest::jpegIsDecodedAtTheSizeDrawn()
{
    QFETCH(bool, progressive);
    // 4000 x 3000, left half red, right half blue.
    QImage image(4000, 3000, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line, line + 2000, qRgb(255, 0, 0));
    }
    PictureFolder folder;
    const QString path = folder.addFile(QStringLiteral("Big.JPG"), jpeg(image, progressive));
    image = QImage();

    const std::optional<Picture> loaded = Pictures::Load(path, 120);
    QVERIFY(loaded);
    QCOMPARE(loaded->fileSize, QSize(4000, 3000));
    // At least the 120 pixels drawn, at most twice as many: never 12 megapixels.
    const QSize decoded = loaded->image.size();
    QVERIFY2(decoded.width() >= 120 && decoded.width() <= 240, qPrintable(QString::number(decoded.width())));
    QVERIFY(std::abs(decoded.height() * 4 - decoded.width() * 3) <= 4);
    // The picture as it looks, only smaller.
    const int w = decoded.width();
    const int middle = decoded.height() / 2;
    for (int x : {1, w / 4, w / 2 - w / 20})
        QVERIFY(near(loaded->image.pixelColor(x, middle), QColor(255, 0, 0), 24));
    for (int x : {w / 2 + w / 20, 3 * w / 4, w - 2})
        QVERIFY(near(loaded->image.pixelColor(x, middle), QColor(0, 0, 255), 24));
}

QTEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
