// The picture decoder on its own: formats told by content, only regular
// files, colours, orientation, embedded thumbnails, DC-only thumbnails,
// colour profiles, files whose data ends early, and hostile files held to
// the memory limit. Every file is generated here.

#include "TestSupport.h"

#include "Decode.h"
#include "DecodeEveryWay.h"
#include "DecodeGuard.h"
#include "DecodeLimits.h"
#include "DecodeProbe.h"
#include "DecodeTicket.h"
#include "GifAnimation.h"
#include "JpegDecoder.h"
#include "PictureInfo.h"
#include "PictureLog.h"
#include "SampleFiles.h"
#include "SharedThumbnail.h"
#include "TiffWalker.h"

#include <QApplication>
#include <QColorSpace>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QPainter>
#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace TestSupport;
using Pictures::Failure;
using Pictures::Purpose;

Q_DECLARE_METATYPE(Pictures::Failure)
Q_DECLARE_METATYPE(Samples::JpegOptions)
Q_DECLARE_METATYPE(Samples::ExifDamage)
Q_DECLARE_METATYPE(Pictures::Purpose)

namespace {

std::string native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Four quadrants: red, green / blue, white.
const QColor Quadrant[4] = {QColor(220, 30, 30), QColor(30, 200, 40), QColor(30, 40, 210), QColor(250, 250, 250)};

QImage quadrants(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int q = 0; q < 4; ++q)
        painter.fillRect(q % 2 * size.width() / 2, q / 2 * size.height() / 2, size.width() / 2, size.height() / 2,
                         Quadrant[q]);
    return image;
}

// The colour well inside quadrant q of an image (0 top left, 1 top right,
// 2 bottom left, 3 bottom right).
QColor inQuadrant(const QImage& image, int q)
{
    return image.pixelColor(q % 2 ? image.width() * 3 / 4 : image.width() / 4,
                            q / 2 ? image.height() * 3 / 4 : image.height() / 4);
}

QImage filled(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

double meanDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * x.width() * x.height());
}

// What the full screen's decode reads from a file's EXIF block along with
// the picture (nothing for a file it cannot show).
Pictures::PictureInfo infoOf(const std::string& path)
{
    const Pictures::Decoded decoded = Pictures::Decode(path, QSize(64, 64), Purpose::Screen);
    return decoded ? decoded.picture->info : Pictures::PictureInfo();
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool UnderAddressSanitizer = true; // its shadow memory and quarantine make resident sizes meaningless
#else
constexpr bool UnderAddressSanitizer = false;
#endif

// Takes an animation's frames in playing order, waiting on its wake-ups
// rather than on a clock.
class FrameTaker {
public:
    std::function<void()> wake()
    {
        return [this] {
            const std::lock_guard lock(mutex_);
            ++wakes_;
            woken_.notify_all();
        };
    }
    // The next frame, or nothing once the animation has finished.
    std::optional<Pictures::GifAnimation::Frame> next(Pictures::GifAnimation& animation)
    {
        for (;;) {
            std::unique_lock lock(mutex_);
            const quint64 seen = wakes_;
            lock.unlock();
            if (std::optional<Pictures::GifAnimation::Frame> frame = animation.next())
                return frame;
            if (animation.finished())
                return std::nullopt;
            lock.lock();
            if (!woken_.wait_for(lock, std::chrono::seconds(60), [&] { return wakes_ != seen; }))
                return std::nullopt;
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable woken_;
    quint64 wakes_ = 0;
};

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT
    PictureFolder folder_;

private slots:
    void formatIsToldByContent_data();
    void formatIsToldByContent();
    void onlyRegularFilesAreOpened();
    void coloursAreRight_data();
    void coloursAreRight();
    void everyOrientationComesBackUpright_data();
    void everyOrientationComesBackUpright();
    void embeddedThumbnailOnlyWhenAsGood_data();
    void embeddedThumbnailOnlyWhenAsGood();
    void progressiveThumbnailFromDcScans();
    void fillBytesBeforeTheFrameHeader();
    void bmpAndGifShowAsStored_data();
    void bmpAndGifShowAsStored();
    void dataEndingEarlyStopsDecoding_data();
    void dataEndingEarlyStopsDecoding();
    void hostileFilesStayWithinTheLimit_data();
    void hostileFilesStayWithinTheLimit();
    void failuresAreLoggedQuietly();
    void workersDecodeAtOnce();
    void fuzzFindingsDecodeSafely();
    void cyclicExifDecodesAtOnceUpright();
    void pictureInfoReadsEveryField_data();
    void pictureInfoReadsEveryField();
    void decodesStopWhenTimeIsUpOrUnwanted();
    void screenDecodeShrinksInsteadOfFailing();
    void sharedThumbnailsOnlyOfTheFileAsItIs();
    void areasAreThePixelsOfTheWholePicture_data();
    void areasAreThePixelsOfTheWholePicture();
    void animatedGifFramesAreComposedAndLoop();
    void longAnimationHoldsFewFramesAtOnce();
};

void PicturesTest::formatIsToldByContent_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Failure>("failure");
    const QImage image = filled(QSize(40, 30), QColor(30, 200, 40));
    QTest::newRow("JPEG named .BMP") << "J.BMP" << Samples::Jpeg(image) << Failure::None;
    QTest::newRow("GIF named .JPG") << "G.JPG" << Samples::Gif(image) << Failure::None;
    QTest::newRow("BMP named .GIF") << "B.GIF" << Samples::Bmp(image) << Failure::None;
    // Formats Qt could read if it were let to choose by content.
    for (const char* format : {"png", "tiff", "webp", "ico", "xpm", "xbm", "ppm"}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY2(image.save(&buffer, format), format);
        QTest::addRow("%s named .JPG", format) << "X.JPG" << bytes << Failure::NotAPicture;
    }
    QTest::newRow("empty") << "E.JPG" << QByteArray() << Failure::NotAPicture;
    QTest::newRow("JPEG signature only") << "S.JPG" << QByteArray("\xFF\xD8\xFF", 3) << Failure::Damaged;
}

void PicturesTest::formatIsToldByContent()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(Failure, failure);
    const Pictures::Decoded decoded = Pictures::Decode(native(folder_.addFile(name, bytes)), 20);
    QCOMPARE(decoded.failure, failure);
    QCOMPARE(bool(decoded), failure == Failure::None);
    if (decoded)
        QVERIFY(decoded.picture->image.size() == QSize(20, 15) &&
                near(inQuadrant(decoded.picture->image, 3), QColor(30, 200, 40), 8));
}

void PicturesTest::onlyRegularFilesAreOpened()
{
    // A FIFO named like a picture, with no writer: opening it for reading
    // would wait for ever.
    const QString fifo = folder_.at(QStringLiteral("F.JPG"));
    QCOMPARE(::mkfifo(native(fifo).c_str(), 0644), 0);
    QCOMPARE(Pictures::Decode(native(fifo), 120).failure, Failure::Unreadable);
    QCOMPARE(Pictures::Decode(native(folder_.makeFolder(QStringLiteral("D.JPG"))), 120).failure, Failure::Unreadable);
    QCOMPARE(Pictures::Decode(native(folder_.at(QStringLiteral("missing.JPG"))), 120).failure, Failure::Unreadable);
    QCOMPARE(Pictures::Decode("", 120).failure, Failure::Unreadable);
    // A name that is not UTF-8 is opened by its bytes.
    const std::string name = native(folder_.path()) + "/\xFF\xFE.JPG";
    const QByteArray jpeg = Samples::Jpeg(filled(QSize(8, 8), Qt::red));
    FILE* file = std::fopen(name.c_str(), "wb");
    QVERIFY(file && std::fwrite(jpeg.constData(), 1, size_t(jpeg.size()), file) == size_t(jpeg.size()));
    std::fclose(file);
    const bool shown = bool(Pictures::Decode(name, 0));
    ::unlink(name.c_str()); // Qt cannot name it to remove it with the folder
    QVERIFY(shown);
}

// The SWOP CMYK profile of Debian's libgs-common (empty if it is missing,
// which the colour checks then show).
static QByteArray swopCmykProfile()
{
    QFile swop(QStringLiteral("/usr/share/color/icc/ghostscript/default_cmyk.icc"));
    return swop.open(QIODevice::ReadOnly) ? swop.readAll() : QByteArray();
}

void PicturesTest::coloursAreRight_data()
{
    QTest::addColumn<Samples::JpegOptions>("options");
    QTest::addColumn<QColor>("stored");
    QTest::addColumn<QColor>("shown");
    using Samples::JpegColour;
    using Samples::JpegOptions;
    const QColor colour(200, 100, 50), grey(qGray(colour.rgb()), qGray(colour.rgb()), qGray(colour.rgb()));
    QTest::newRow("YCbCr") << JpegOptions{} << colour << colour;
    QTest::newRow("grey") << JpegOptions{.colour = JpegColour::Grey} << colour << grey;
    QTest::newRow("CMYK") << JpegOptions{.colour = JpegColour::Cmyk} << colour << colour;
    QTest::newRow("Adobe's inverted CMYK") << JpegOptions{.colour = JpegColour::AdobeCmyk} << colour << colour;
    QTest::newRow("progressive inverted CMYK")
        << JpegOptions{.colour = JpegColour::AdobeCmyk, .progressive = true} << colour << colour;
    QTest::newRow("Adobe's YCCK") << JpegOptions{.colour = JpegColour::AdobeYcck} << colour << colour;
    // A green of 77 % cyan and full yellow, (58, 255, 0) by the inks alone, is (58, 181, 85) through the SWOP
    // profile, in every CMYK coding.
    const QByteArray swopProfile = swopCmykProfile();
    const QColor inkGreen(58, 255, 0), swopGreen(58, 181, 85);
    QTest::newRow("CMYK, SWOP profile") << JpegOptions{.colour = JpegColour::Cmyk, .iccProfile = swopProfile}
                                        << inkGreen << swopGreen;
    QTest::newRow("Adobe's CMYK, SWOP profile")
        << JpegOptions{.colour = JpegColour::AdobeCmyk, .iccProfile = swopProfile} << inkGreen << swopGreen;
    QTest::newRow("Adobe's YCCK, SWOP profile")
        << JpegOptions{.colour = JpegColour::AdobeYcck, .progressive = true, .iccProfile = swopProfile} << inkGreen
        << swopGreen;
    // Adobe RGB (100, 200, 100) is sRGB (0, 201, 92); untagged pixels stay as they are.
    const QColor green(100, 200, 100);
    QTest::newRow("untagged") << JpegOptions{.subsampled = false} << green << green;
    QTest::newRow("Adobe RGB profile") << JpegOptions{.subsampled = false,
                                                      .iccProfile = QColorSpace(QColorSpace::AdobeRgb).iccProfile()}
                                       << green << QColor(0, 201, 92);
}

void PicturesTest::coloursAreRight()
{
    QFETCH(Samples::JpegOptions, options);
    QFETCH(QColor, stored);
    QFETCH(QColor, shown);
    const QString path =
        folder_.addFile(QStringLiteral("C.JPG"), Samples::Jpeg(filled(QSize(64, 48), stored), options));
    for (const Purpose purpose : {Purpose::View, Purpose::Thumbnail}) {
        const Pictures::Decoded decoded = Pictures::Decode(native(path), 32, purpose);
        QVERIFY(decoded && decoded.picture->image.size() == QSize(32, 24));
        const QColor seen = inQuadrant(decoded.picture->image, 0);
        QVERIFY2(near(seen, shown, 3), qPrintable(seen.name()));
    }
}

void PicturesTest::everyOrientationComesBackUpright_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<bool>("bigEndian");
    QTest::addColumn<Samples::ExifDamage>("damage");
    // Where the stored top-left and top-right quadrants end up, by the tag's
    // definition: the side the stored first row and first column are shown on.
    QTest::addColumn<int>("topLeftTo");
    QTest::addColumn<int>("topRightTo");
    const int to[9][2] = {{}, {0, 1}, {1, 0}, {3, 2}, {2, 3}, {0, 2}, {1, 3}, {3, 1}, {2, 0}};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        for (const bool bigEndian : {true, false})
            QTest::addRow("%d %s", orientation, bigEndian ? "MM" : "II")
                << orientation << bigEndian << Samples::ExifDamage::None << to[orientation][0] << to[orientation][1];
    }
    // Broken directories around the tag: the tag is still read.
    QTest::newRow("6, IFD0 pointing at itself")
        << 6 << false << Samples::ExifDamage::LoopingDirectories << to[6][0] << to[6][1];
    QTest::newRow("7, thumbnail offsets past the end")
        << 7 << true << Samples::ExifDamage::OffsetsPastEnd << to[7][0] << to[7][1];
    QTest::newRow("5, IFD0 claiming 400 entries")
        << 5 << true << Samples::ExifDamage::TruncatedDirectory << to[5][0] << to[5][1];
}

void PicturesTest::everyOrientationComesBackUpright()
{
    QFETCH(int, orientation);
    QFETCH(bool, bigEndian);
    QFETCH(Samples::ExifDamage, damage);
    QFETCH(int, topLeftTo);
    QFETCH(int, topRightTo);
    const QByteArray thumbnail = Samples::Jpeg(filled(QSize(16, 8), Qt::black));
    const QString path = folder_.addFile(
        QStringLiteral("O.JPG"),
        Samples::Jpeg(quadrants(QSize(128, 64)), {.exif = Samples::Exif(orientation, thumbnail, bigEndian, damage)}));
    const bool turned = topLeftTo + topRightTo == 2 || topLeftTo + topRightTo == 4; // a stored row became a column
    for (const int longSide : {0, 32}) {
        const Pictures::Decoded decoded = Pictures::Decode(native(path), longSide, Purpose::View);
        QVERIFY(decoded);
        const QSize upright = turned ? QSize(64, 128) : QSize(128, 64);
        QCOMPARE(decoded.picture->fileSize, upright);
        QCOMPARE(decoded.picture->image.size(), Pictures::DecodeSize(upright, longSide));
        QVERIFY(near(inQuadrant(decoded.picture->image, topLeftTo), Quadrant[0], 24));
        QVERIFY(near(inQuadrant(decoded.picture->image, topRightTo), Quadrant[1], 24));
    }
}

namespace {

// Left and right halves of `content` in two colours, black around it.
QImage halves(QSize size, QRect content, QColor left, QColor right)
{
    QImage image = filled(size, Qt::black);
    QPainter painter(&image);
    painter.fillRect(content.x(), content.y(), content.width() / 2, content.height(), left);
    painter.fillRect(content.x() + content.width() / 2, content.y(), content.width() - content.width() / 2,
                     content.height(), right);
    return image;
}

const QColor MainLeft(220, 30, 30), MainRight(128, 128, 128), ThumbLeft(250, 220, 0), ThumbRight(0, 200, 200);

} // namespace

void PicturesTest::embeddedThumbnailOnlyWhenAsGood_data()
{
    QTest::addColumn<QSize>("mainSize");
    QTest::addColumn<QByteArray>("thumbnail");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<Purpose>("purpose");
    QTest::addColumn<bool>("used");
    const auto thumbnail = [](QSize size, QRect content = {}) {
        return Samples::Jpeg(halves(size, content.isNull() ? QRect(QPoint(), size) : content, ThumbLeft, ThumbRight),
                             {.subsampled = false});
    };
    const QByteArray plain = thumbnail(QSize(160, 120));
    const QByteArray letterboxed = thumbnail(QSize(160, 120), QRect(0, 7, 160, 107)); // 3:2 inside 4:3
    const QByteArray pillarboxed = thumbnail(QSize(160, 90), QRect(20, 0, 120, 90));  // 4:3 inside 16:9
    QTest::newRow("as good") << QSize(400, 300) << plain << 1 << Purpose::Thumbnail << true;
    QTest::newRow("for the view") << QSize(400, 300) << plain << 1 << Purpose::View << false;
    QTest::newRow("too small") << QSize(400, 300) << thumbnail(QSize(100, 75)) << 1 << Purpose::Thumbnail << false;
    QTest::newRow("another shape") << QSize(400, 300) << thumbnail(QSize(160, 160)) << 1 << Purpose::Thumbnail << false;
    QTest::newRow("letterboxed") << QSize(450, 300) << letterboxed << 1 << Purpose::Thumbnail << true;
    QTest::newRow("letterboxed, shape of the bars")
        << QSize(400, 300) << letterboxed << 1 << Purpose::Thumbnail << false;
    QTest::newRow("pillarboxed") << QSize(400, 300) << pillarboxed << 1 << Purpose::Thumbnail << true;
    // 128 pixels wide, but what is inside the bars only 96.
    QTest::newRow("pillarboxed, narrower than drawn")
        << QSize(400, 300) << thumbnail(QSize(128, 72), QRect(16, 0, 96, 72)) << 1 << Purpose::Thumbnail << false;
    QTest::newRow("corrupt") << QSize(400, 300) << plain.left(plain.size() / 2) << 1 << Purpose::Thumbnail << false;
    QTest::newRow("turned") << QSize(400, 300) << plain << 6 << Purpose::Thumbnail << true;
}

void PicturesTest::embeddedThumbnailOnlyWhenAsGood()
{
    QFETCH(QSize, mainSize);
    QFETCH(QByteArray, thumbnail);
    QFETCH(int, orientation);
    QFETCH(Purpose, purpose);
    QFETCH(bool, used);
    const QString path = folder_.addFile(QStringLiteral("T.JPG"),
                                         Samples::Jpeg(halves(mainSize, QRect(QPoint(), mainSize), MainLeft, MainRight),
                                                       {.exif = Samples::Exif(orientation, thumbnail)}));
    const Pictures::Decoded decoded = Pictures::Decode(native(path), 120, purpose);
    QVERIFY(decoded);
    const QSize upright = orientation == 6 ? mainSize.transposed() : mainSize;
    QCOMPARE(decoded.picture->fileSize, upright);
    QCOMPARE(decoded.picture->image.size(), Pictures::DecodeSize(upright, 120));
    // Turned a quarter clockwise, the stored left half is on top: the top
    // right quadrant shows it, the bottom left the stored right half.
    const QColor left = used ? ThumbLeft : MainLeft, right = used ? ThumbRight : MainRight;
    const QColor topRight = inQuadrant(decoded.picture->image, 1), bottomLeft = inQuadrant(decoded.picture->image, 2);
    QVERIFY2(near(topRight, orientation == 6 ? left : right, 24) &&
                 near(bottomLeft, orientation == 6 ? right : left, 24),
             qPrintable(topRight.name() + u' ' + bottomLeft.name()));

    // A file holding only the EXIF block has no picture to stand in for.
    const QByteArray exif = Samples::Exif(1, thumbnail);
    QByteArray exifOnly("\xFF\xD8\xFF\xE1", 4);
    exifOnly.append(char((exif.size() + 2) >> 8)).append(char((exif.size() + 2) & 0xFF)).append(exif);
    exifOnly.append("\xFF\xD9");
    QCOMPARE(Pictures::Decode(native(folder_.addFile(QStringLiteral("E.JPG"), exifOnly)), 120, purpose).failure,
             Failure::Damaged);
}

void PicturesTest::progressiveThumbnailFromDcScans()
{
    // Smooth gradients and a few hard edges, like a photograph at 1/8.
    QImage image(1600, 1200, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 1600, 1200);
    gradient.setColorAt(0, QColor(240, 200, 40));
    gradient.setColorAt(1, QColor(20, 60, 160));
    painter.fillRect(image.rect(), gradient);
    painter.setBrush(QColor(200, 30, 60));
    painter.drawEllipse(300, 200, 700, 600);
    painter.end();
    const QByteArray file = Samples::Jpeg(image, {.progressive = true});
    Pictures::JpegDecoder dcOnly(file), full(file);
    QImage fromDc, fromAll;
    QCOMPARE(dcOnly.readHeader(), Failure::None);
    QCOMPARE(full.readHeader(), Failure::None);
    QCOMPARE(dcOnly.decode(QSize(120, 90), true, fromDc), Failure::None);
    QCOMPARE(full.decode(QSize(120, 90), false, fromAll), Failure::None);
    QVERIFY(dcOnly.report().dcOnly && !full.report().dcOnly);
    // Only the first scan (all DC coefficients) was read, a small part of the file.
    QVERIFY2(dcOnly.report().scans == 1 && dcOnly.report().bytesRead < file.size() / 4,
             qPrintable(QString::number(dcOnly.report().bytesRead)));
    QCOMPARE(fromDc.size(), QSize(200, 150));
    QCOMPARE(fromAll.size(), fromDc.size());
    const double difference = meanDifference(fromDc, fromAll);
    QVERIFY2(difference <= 1.5, qPrintable(QString::number(difference)));
}

// libjpeg skips any number of 0xFF fill bytes before a marker: a frame
// header behind them is still the progressive one libjpeg decodes.
void PicturesTest::fillBytesBeforeTheFrameHeader()
{
    QByteArray bytes = Samples::Jpeg(filled(QSize(64, 48), QColor(30, 200, 40)), {.progressive = true});
    bytes.insert(bytes.indexOf("\xFF\xC2"), QByteArray(8, '\xFF'));
    Pictures::JpegDecoder decoder(bytes);
    QCOMPARE(decoder.readHeader(), Failure::None);
    QVERIFY(decoder.progressive());
    const Pictures::Decoded decoded = Pictures::Decode(native(folder_.addFile(QStringLiteral("P.JPG"), bytes)), 32);
    QVERIFY(decoded && near(inQuadrant(decoded.picture->image, 3), QColor(30, 200, 40), 8));
}

void PicturesTest::bmpAndGifShowAsStored_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("fileSize");
    QTest::addColumn<bool>("checker"); // shows the stored checkerboard
    // Two colours in a checkerboard of quadrants: any flip shows.
    QImage checker = halves(QSize(64, 48), QRect(0, 0, 64, 48), Quadrant[0], Quadrant[2]);
    QPainter(&checker).fillRect(0, 24, 64, 24, Qt::black);
    {
        QPainter painter(&checker);
        painter.fillRect(0, 24, 32, 24, Quadrant[2]);
        painter.fillRect(32, 24, 32, 24, Quadrant[0]);
    }
    using Samples::BmpCompression;
    for (const int depth : {1, 4, 8, 16, 24, 32})
        QTest::addRow("BMP %d-bit", depth) << Samples::Bmp(checker, {.depth = depth}) << checker.size() << true;
    QTest::newRow("BMP RLE4") << Samples::Bmp(checker, {.depth = 4, .compression = BmpCompression::Rle})
                              << checker.size() << true;
    QTest::newRow("BMP RLE8") << Samples::Bmp(checker, {.depth = 8, .compression = BmpCompression::Rle})
                              << checker.size() << true;
    // Rows stored top to bottom, said by a negative height.
    QTest::newRow("BMP top-down 24-bit") << Samples::Bmp(checker, {.topDown = true}) << checker.size() << true;
    QTest::newRow("BMP top-down 8-bit") << Samples::Bmp(checker, {.depth = 8, .topDown = true}) << checker.size()
                                        << true;
    QTest::newRow("GIF") << Samples::Gif(checker) << checker.size() << true;
    QTest::newRow("GIF interlaced") << Samples::Gif(checker.size(), {{checker, {}, true}}) << checker.size() << true;
    QTest::newRow("GIF animated: the first frame")
        << Samples::Gif(checker.size(), {{checker, {}, false}, {filled(QSize(64, 48), Qt::white), {}, false}})
        << checker.size() << true;
    // The picture is the logical screen, not the frame on it...
    QTest::newRow("GIF screen larger than the frame")
        << Samples::Gif(QSize(300, 200), {{checker, {10, 10}, false}}) << QSize(300, 200) << false;
    // ...or, when the screen has no size, the frame's extent.
    QTest::newRow("GIF screen of no size")
        << Samples::Gif(QSize(0, 0), {{checker, {10, 6}, false}}) << QSize(74, 54) << false;
}

void PicturesTest::bmpAndGifShowAsStored()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, fileSize);
    QFETCH(bool, checker);
    const QString path = folder_.addFile(QStringLiteral("Q.PIC"), bytes);
    for (const int longSide : {0, 32}) {
        const Pictures::Decoded decoded = Pictures::Decode(native(path), longSide);
        QVERIFY(decoded);
        QCOMPARE(decoded.picture->fileSize, fileSize);
        QCOMPARE(decoded.picture->image.size(), Pictures::DecodeSize(fileSize, longSide));
        if (checker) {
            for (int q = 0; q < 4; ++q)
                QVERIFY2(near(inQuadrant(decoded.picture->image, q), Quadrant[q == 0 || q == 3 ? 0 : 2], 8),
                         qPrintable(QString::number(q)));
        }
    }
}

void PicturesTest::dataEndingEarlyStopsDecoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("cover");
    QTest::addColumn<int>("mostRowsDecoded");
    QTest::addColumn<QColor>("nearTheBottom");
    // 256 x 1024: red top half, blue bottom half.
    QImage image = filled(QSize(256, 1024), QColor(220, 30, 30));
    QPainter(&image).fillRect(0, 512, 256, 512, QColor(30, 40, 210));
    const QByteArray whole = Samples::Jpeg(image);
    const QColor grey(128, 128, 128), blue(30, 40, 210);
    const QSize full = image.size();
    QTest::newRow("file ends at 40 %") << whole.left(whole.size() * 4 / 10) << full << 600 << grey;
    QTest::newRow("end marker at 40 %") << whole.left(whole.size() * 4 / 10) + "\xFF\xD9" << full << 600 << grey;
    // With restart markers, decoding resumes at the next one after a gap.
    const QByteArray restarts = Samples::Jpeg(image, {.restartRows = 1});
    const qsizetype gapFrom = restarts.indexOf("\xFF\xD3"), gapTo = restarts.indexOf("\xFF\xD5");
    QVERIFY(gapFrom > 0 && gapTo > gapFrom);
    QTest::newRow("gap between restart markers")
        << restarts.left(gapFrom) + restarts.mid(gapTo) << full << 1024 << blue;
    // 20000 x 20000 declared over 2 KB of data: 2500 rows at 1/8, nearly all grey.
    QTest::newRow("20000 x 20000 in 2 KB")
        << Samples::WithFrameSize(Samples::Jpeg(image.copy(0, 0, 64, 48)), QSize(20000, 20000)) << QSize(120, 120) << 64
        << grey;
}

void PicturesTest::dataEndingEarlyStopsDecoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, cover);
    QFETCH(int, mostRowsDecoded);
    QFETCH(QColor, nearTheBottom);
    Pictures::JpegDecoder decoder(bytes);
    QImage image;
    QCOMPARE(decoder.readHeader(), Failure::None);
    QCOMPARE(decoder.decode(cover, false, image), Failure::None);
    const Pictures::JpegDecoder::Report& report = decoder.report();
    QVERIFY2(report.rowsDecoded <= mostRowsDecoded, qPrintable(QString::number(report.rowsDecoded)));
    QCOMPARE(report.rowsDecoded + report.rowsFilled, image.height());
    QVERIFY(near(image.pixelColor(image.width() / 2, image.height() * 9 / 10), nearTheBottom, 6));
    QVERIFY(report.rowsDecoded < 100 || near(image.pixelColor(image.width() / 2, 8), QColor(220, 30, 30), 6));
}

void PicturesTest::hostileFilesStayWithinTheLimit_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Purpose>("purpose");
    QTest::addColumn<Failure>("failure");
    // Each for the enlarged view and for the full screen at 1:1, which makes
    // what passes the limits smaller instead of refusing it.
    const QHash<QString, std::pair<Failure, Failure>> expected{
        {"progressive 30000 x 30000 behind fill bytes", {Failure::TooLarge, Failure::TooLarge}},
        {"progressive 30000 x 30000", {Failure::TooLarge, Failure::TooLarge}},
        {"progressive of 190 scans", {Failure::TooLarge, Failure::TooLarge}},
        {"progressive 5600 x 5600 of 60 scans", {Failure::TooLarge, Failure::TooLarge}},
        {"baseline 65500 x 65500 in 2 KB", {Failure::TooLarge, Failure::TooLarge}},
        {"baseline 20000 x 20000 in 2 KB", {Failure::None, Failure::None}},
        {"RLE8 BMP 8000 x 8000", {Failure::TooLarge, Failure::TooLarge}},
        {"RLE4 BMP 4000 x 4000", {Failure::None, Failure::None}},
        {"1-bit BMP 20000000 x 1", {Failure::None, Failure::None}},
        {"GIF screen 8190 x 8190 over 1000 x 1000", {Failure::TooLarge, Failure::TooLarge}},
        {"GIF screen 3000 x 3000 over 400 x 400", {Failure::None, Failure::None}},
        {"grey baseline 38001 x 38000", {Failure::None, Failure::None}},
        {"baseline 40001 x 40001", {Failure::None, Failure::None}},
    };
    const QList<Samples::NamedFile> files = Samples::HostileFiles();
    QCOMPARE(files.size(), expected.size());
    for (const Samples::NamedFile& file : files) {
        const auto [view, screen] = expected.value(file.name, {Failure::Unreadable, Failure::Unreadable});
        QTest::newRow(qPrintable(file.name + QStringLiteral(", view"))) << file.bytes << Purpose::View << view;
        QTest::newRow(qPrintable(file.name + QStringLiteral(", 1:1"))) << file.bytes << Purpose::Screen << screen;
    }
}

void PicturesTest::hostileFilesStayWithinTheLimit()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Purpose, purpose);
    QFETCH(Failure, failure);
    const DecodeProbe::Measured measured =
        DecodeProbe::InChild(QCoreApplication::applicationFilePath(), folder_.addFile(QStringLiteral("H.JPG"), bytes),
                             purpose == Purpose::View ? 120 : 0, purpose);
    QCOMPARE(measured.failure, failure);
    if (UnderAddressSanitizer)
        QSKIP("resident memory is not meaningful under AddressSanitizer");
    // The limit, and a little for code pages the decode loads.
    const long allowedKiB = Pictures::Limits::MemoryBytes / 1024 + 8 * 1024;
    QVERIFY2(measured.peakKiB >= 0 && measured.peakKiB <= allowedKiB, qPrintable(QString::number(measured.peakKiB)));
}

void PicturesTest::failuresAreLoggedQuietly()
{
    QVERIFY(!lcPictures().isInfoEnabled() && !lcPictures().isDebugEnabled());
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& message) {
            if (QByteArrayView(context.category) == "kalvio.pictures")
                logged << message;
        });
    QLoggingCategory::setFilterRules(QStringLiteral("kalvio.pictures*=true"));
    const std::string missing = native(folder_.path()) + "/bad\xFF\\name.JPG";
    Pictures::Decode(missing, 120);
    Pictures::Decode(native(folder_.addPicture(QStringLiteral("good.JPG"), QSize(8, 8), Qt::red)), 120);
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    QCOMPARE(logged.size(), 1);
    QVERIFY2(logged[0].contains(QStringLiteral("/bad\\xff\\x5cname.JPG")) &&
                 logged[0].contains(QLatin1String(Pictures::FailureText(Failure::Unreadable))),
             qPrintable(logged[0]));
}

// Workers decode at the same time: every path of the decoder run from four
// threads gives what it gives alone.
void PicturesTest::workersDecodeAtOnce()
{
    const QImage card = quadrants(QSize(320, 240));
    const QByteArray thumbnail = Samples::Jpeg(quadrants(QSize(160, 120)));
    const QList<QByteArray> files{
        Samples::Jpeg(card, {.progressive = true}),
        Samples::Jpeg(card, {.exif = Samples::Exif(6, thumbnail)}),
        Samples::Jpeg(card, {.colour = Samples::JpegColour::AdobeCmyk}),
        Samples::Jpeg(card, {.colour = Samples::JpegColour::AdobeYcck, .iccProfile = swopCmykProfile()}),
        Samples::Jpeg(card, {.iccProfile = QColorSpace(QColorSpace::AdobeRgb).iccProfile()}),
        Samples::Bmp(card, {.depth = 8, .compression = Samples::BmpCompression::Rle}),
        Samples::Gif(card),
    };
    std::vector<std::string> paths;
    std::vector<QImage> alone;
    for (qsizetype i = 0; i < files.size(); ++i) {
        paths.push_back(native(folder_.addFile(QStringLiteral("W%1.PIC").arg(i), files[i])));
        alone.push_back(
            Pictures::Decode(paths.back(), 100, Purpose::Thumbnail).picture.value_or(Pictures::Picture{}).image);
        QVERIFY(!alone.back().isNull());
    }
    std::atomic<int> different = 0;
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([&, w] {
            for (int round = 0; round < 10; ++round) {
                const size_t i = size_t(w + round) % paths.size();
                const Pictures::Decoded decoded = Pictures::Decode(paths[i], 100, Purpose::Thumbnail);
                if (!decoded || decoded.picture->image != alone[i])
                    ++different;
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    QCOMPARE(different.load(), 0);
}

void PicturesTest::fuzzFindingsDecodeSafely()
{
    QDirIterator found(QStringLiteral(KALVIO_REGRESSIONS_DIR), QDir::Files);
    int replayed = 0;
    for (; found.hasNext(); ++replayed) {
        QFile file(found.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        DecodeEveryWay(file.readAll());
    }
    if (replayed == 0)
        QSKIP("the fuzzer has found nothing to replay");
}

// Directories pointing at each other used to make every decode re-read them
// for seconds to minutes. Each is read once now, upright, with no thumbnail:
// a decode reads IFD0 alone (no IFD1 follows it, and the picture's
// information is not read), one with the information IFD0 again and the Exif
// directory, none of them more than once.
void PicturesTest::cyclicExifDecodesAtOnceUpright()
{
    const QImage photo = quadrants(QSize(640, 480));
    const auto directoriesRead = [](const auto& decode) {
        const quint64 before = Pictures::TiffWalker::DirectoriesReadOnThisThread();
        decode();
        return Pictures::TiffWalker::DirectoriesReadOnThisThread() - before;
    };
    for (const int pointers : {5, 50, 200}) {
        const QString path = folder_.addFile(QStringLiteral("cycle%1.jpg").arg(pointers),
                                             Samples::Jpeg(photo, {.exif = Samples::CyclicExif(pointers)}));
        for (const Purpose purpose : {Purpose::Thumbnail, Purpose::View}) {
            Pictures::Decoded decoded;
            QCOMPARE(directoriesRead([&] { decoded = Pictures::Decode(native(path), 160, purpose); }), 1u);
            QVERIFY(decoded);
            QCOMPARE(decoded.picture->image.size(), QSize(160, 120)); // decoded, not an embedded copy
            QVERIFY(near(inQuadrant(decoded.picture->image, 0), Quadrant[0], 24));
        }
        Pictures::PictureInfo info;
        QCOMPARE(directoriesRead([&] { info = infoOf(native(path)); }), 3u);
        QVERIFY(!info.make && !info.dateTaken && !info.iso);
    }
}

void PicturesTest::pictureInfoReadsEveryField_data()
{
    QTest::addColumn<bool>("bigEndian");
    QTest::newRow("MM") << true;
    QTest::newRow("II") << false;
}

void PicturesTest::pictureInfoReadsEveryField()
{
    QFETCH(bool, bigEndian);
    const Samples::ExifInfo written{.make = "  Canon ",
                                    .model = "EOS 5D Mark IV",
                                    .lens = "EF24-70mm f/2.8L II USM",
                                    .dateTaken = "2024:06:01 18:42:07",
                                    .exposure = {1, 250},
                                    .fNumber = {28, 10},
                                    .iso = 3200,
                                    .focalLength = {35, 1}};
    const QString path =
        folder_.addFile(QStringLiteral("info.jpg"), Samples::Jpeg(filled(QSize(32, 24), Qt::gray),
                                                                  {.exif = Samples::ExifWithInfo(written, bigEndian)}));
    const Pictures::PictureInfo info = infoOf(native(path));
    QCOMPARE(info.make, QStringLiteral("Canon"));
    QCOMPARE(info.model, QStringLiteral("EOS 5D Mark IV"));
    QCOMPARE(info.lens, QStringLiteral("EF24-70mm f/2.8L II USM"));
    QCOMPARE(info.dateTaken, QStringLiteral("2024:06:01 18:42:07"));
    QVERIFY(info.exposureSeconds && qFuzzyCompare(*info.exposureSeconds, 0.004));
    QVERIFY(info.fNumber && qFuzzyCompare(*info.fNumber, 2.8));
    QCOMPARE(info.iso, 3200);
    QVERIFY(info.focalLengthMm && qFuzzyCompare(*info.focalLengthMm, 35.0));
    // The camera in the Exif directory too: IFD0's make first, the Exif
    // directory's model where IFD0 has none.
    const Samples::ExifInfo split{.make = "NIKON CORPORATION", .exifMake = "Other", .exifModel = "NIKON D2H"};
    const Pictures::PictureInfo fromExif = infoOf(native(folder_.addFile(
        QStringLiteral("split.jpg"),
        Samples::Jpeg(filled(QSize(8, 8), Qt::gray), {.exif = Samples::ExifWithInfo(split, bigEndian)}))));
    QCOMPARE(fromExif.make, QStringLiteral("NIKON CORPORATION"));
    QCOMPARE(fromExif.model, QStringLiteral("NIKON D2H"));
    // A JPEG without EXIF: nothing.
    const Pictures::PictureInfo none =
        infoOf(native(folder_.addFile(QStringLiteral("plain.jpg"), Samples::Jpeg(filled(QSize(8, 8), Qt::red)))));
    QVERIFY(!none.make && !none.model && !none.exposureSeconds && !none.iso);
}

// A decode past its processor time ends as too slow, one no longer wanted as
// cancelled, for JPEG (libjpeg's progress checks) and BMP (the reads).
void PicturesTest::decodesStopWhenTimeIsUpOrUnwanted()
{
    const QImage photo = quadrants(QSize(640, 480));
    const QByteArray jpeg = Samples::Jpeg(photo, {.progressive = true});
    {
        const Pictures::DecodeGuard guard(std::chrono::milliseconds(0));
        // Spend a little processor time so that the zero budget is surely past.
        volatile int spin = 0;
        while (spin < 1'000'000)
            spin = spin + 1;
        Pictures::JpegDecoder decoder{QByteArrayView(jpeg)};
        QCOMPARE(decoder.readHeader(), Failure::None);
        QImage image;
        QCOMPARE(decoder.decode(QSize(640, 480), false, image), Failure::TooSlow);
    }
    const QString jpegPath = folder_.addFile(QStringLiteral("p.jpg"), jpeg);
    const QString bmpPath = folder_.addFile(QStringLiteral("p.bmp"), Samples::Bmp(photo));
    Pictures::DecodeTicket unwanted;
    unwanted.setCancelled(true);
    {
        const Pictures::DecodeTicket::Scope scope(unwanted);
        QCOMPARE(Pictures::Decode(native(jpegPath), 0).failure, Failure::Cancelled);
        QCOMPARE(Pictures::Decode(native(bmpPath), 0).failure, Failure::Cancelled);
    }
    QVERIFY(Pictures::Decode(native(jpegPath), 0));
    QVERIFY(Pictures::Decode(native(bmpPath), 0));

    // The markers before the frame are read under the guard too, and bounded:
    // a hole of zeros after an empty comment (libjpeg reads it byte by byte)
    // stops where the time is up, and one larger than any real header is
    // refused whatever the time (8 GiB of it kept the window for 8 s).
    const auto holeBeforeFrame = [&](const QString& name, qint64 hole) {
        QFile file(folder_.at(name));
        const bool written = file.open(QIODevice::WriteOnly) && file.write("\xFF\xD8\xFF\xFE\x00\x02", 6) == 6 &&
                             file.seek(6 + hole) && file.write(jpeg.mid(2)) == jpeg.size() - 2;
        return written ? native(file.fileName()) : std::string();
    };
    const std::string small = holeBeforeFrame(QStringLiteral("hole.jpg"), 1 << 20);
    const std::string large =
        holeBeforeFrame(QStringLiteral("large-hole.jpg"), Pictures::Limits::MaxJpegHeaderBytes + (1 << 20));
    QVERIFY(!small.empty() && !large.empty());
    QVERIFY(Pictures::Decode(small, 64));
    QCOMPARE(Pictures::Decode(large, 64).failure, Failure::Damaged);
    const Pictures::DecodeGuard guard(std::chrono::milliseconds(0));
    volatile int spin = 0;
    while (spin < 1'000'000)
        spin = spin + 1;
    const int fd = ::open(small.c_str(), O_RDONLY | O_CLOEXEC);
    QVERIFY(fd >= 0);
    Pictures::JpegDecoder decoder(fd);
    QCOMPARE(decoder.readHeader(), Failure::TooSlow);
    ::close(fd);
}

// 9000 x 9000 at its own size passes the per-decode memory limit: the
// enlarged view refuses it, the full screen gets the largest scale the
// limit allows, in the picture's shape.
void PicturesTest::screenDecodeShrinksInsteadOfFailing()
{
    const QByteArray small = Samples::Jpeg(filled(QSize(64, 64), QColor(200, 30, 30)));
    const QString path = folder_.addFile(QStringLiteral("huge.jpg"), Samples::WithFrameSize(small, QSize(9000, 9000)));
    QCOMPARE(Pictures::Decode(native(path), 0, Purpose::View).failure, Failure::TooLarge);
    for (const int longSide : {0, 3840}) {
        const Pictures::Decoded decoded = Pictures::Decode(native(path), longSide, Purpose::Screen);
        QVERIFY(decoded);
        QCOMPARE(decoded.picture->fileSize, QSize(9000, 9000));
        const QSize size = decoded.picture->image.size();
        QCOMPARE(size.width(), size.height());
        QVERIFY2(size.width() >= 9000 / 8 && size.width() < (longSide ? longSide : 9000),
                 qPrintable(QString::number(size.width())));
    }
    // 17 megapixels fit the limit once: whole when stored upright, smaller
    // when the turn upright needs a second copy.
    const QByteArray large = Samples::Jpeg(filled(QSize(64, 64), QColor(200, 30, 30)));
    for (const int orientation : {1, 6}) {
        const QByteArray bytes =
            Samples::WithFrameSize(orientation == 1 ? large
                                                    : Samples::Jpeg(filled(QSize(64, 64), QColor(200, 30, 30)),
                                                                    {.exif = Samples::Exif(orientation)}),
                                   QSize(5000, 3400));
        const QString name = QStringLiteral("large%1.jpg").arg(orientation);
        const Pictures::Decoded decoded = Pictures::Decode(native(folder_.addFile(name, bytes)), 0, Purpose::Screen);
        QVERIFY(decoded);
        const QSize whole = orientation == 1 ? QSize(5000, 3400) : QSize(3400, 5000);
        QCOMPARE(decoded.picture->fileSize, whole);
        QCOMPARE(decoded.picture->image.size() == whole, orientation == 1);
    }
    // A BMP wider than any JPEG, shrunk to half at its own size, made Qt's
    // smooth scaler overflow: a crash, or 40 s in a 148-byte file. The scaler
    // is now asked for no more than 65535 pixels across, as the result shows.
    const QByteArray wide = Samples::Bmp(filled(QSize(524288, 32), Qt::white), {.depth = 1});
    const Pictures::Decoded decoded =
        Pictures::Decode(native(folder_.addFile(QStringLiteral("wide.bmp"), wide)), 0, Purpose::Screen);
    QVERIFY(decoded);
    const QSize size = decoded.picture->image.size();
    QVERIFY2(size.width() == 65535 && size.height() >= 3 && size.height() <= 4, qPrintable(QDebug::toString(size)));
    QCOMPARE(decoded.picture->image.pixelColor(65534, size.height() - 1), QColor(Qt::white));
}

// Each frame comes as the screen after it was drawn, laid on black: a frame
// with a transparent hole shows what was under it, one cleared to the
// background shows black there, whether it had a transparent colour (Qt's
// reader marks it in a screen without alpha, which shown as it is would be
// white) or not (the reader would fill it with the background colour, here
// red), and one undone brings back what it covered. Delays are the file's, under 20 ms made 100 ms, and
// the whole plays as many times as its looping block says.
void PicturesTest::animatedGifFramesAreComposedAndLoop()
{
    const QRgb red = qRgb(220, 30, 30), blue = qRgb(30, 40, 210), green = qRgb(30, 200, 40),
               white = qRgb(250, 250, 250);
    const QRgb hole = qRgb(255, 0, 255);
    QImage holed = filled(QSize(8, 8), blue);
    QPainter(&holed).fillRect(0, 0, 4, 4, QColor(hole));
    const QList<Samples::GifFrame> frames{
        {.image = filled(QSize(16, 16), red), .delay = 5},
        {.image = holed, .delay = 0, .disposal = 2, .transparent = hole},
        {.image = filled(QSize(8, 8), green), .offset = {8, 8}, .delay = 1, .disposal = 3},
        {.image = filled(QSize(2, 2), white), .offset = {0, 14}, .delay = 20, .disposal = 2},
        {.image = filled(QSize(1, 1), green), .offset = {15, 0}, .delay = 3},
    };
    const std::string path = native(folder_.addFile(QStringLiteral("moving.gif"), Samples::Gif({16, 16}, frames, 1)));
    // Pixels looked at: in the hole, in the rest of frame 1, under frame 2,
    // beside both, under frame 3.
    const QPoint at[5] = {{2, 2}, {6, 6}, {12, 12}, {12, 2}, {1, 15}};
    const QRgb black = qRgb(0, 0, 0);
    const QRgb expected[5][5] = {{red, red, red, red, red},
                                 {red, blue, red, red, red},
                                 {black, black, green, red, red},
                                 {black, black, red, red, white},
                                 {black, black, red, red, black}};
    const int delays[5] = {50, 100, 100, 200, 30};

    FrameTaker taker;
    Pictures::GifAnimation animation(path, QSize(), taker.wake());
    for (int shown = 0; shown < 10; ++shown) { // played twice
        const std::optional<Pictures::GifAnimation::Frame> frame = taker.next(animation);
        QVERIFY2(frame, qPrintable(QStringLiteral("frame %1").arg(shown)));
        const int k = shown % 5;
        QCOMPARE(frame->image.size(), QSize(16, 16));
        QCOMPARE(frame->delay.count(), delays[k]);
        for (int p = 0; p < 5; ++p)
            QVERIFY2(frame->image.pixel(at[p]) == expected[k][p],
                     qPrintable(QStringLiteral("frame %1 at %2,%3: %4")
                                    .arg(k)
                                    .arg(at[p].x())
                                    .arg(at[p].y())
                                    .arg(frame->image.pixel(at[p]), 8, 16)));
    }
    QVERIFY(!taker.next(animation));
    QVERIFY(animation.finished());

    // Fitted to a box, every frame is scaled to it; a still GIF is no animation.
    FrameTaker fitted;
    Pictures::GifAnimation small(path, QSize(8, 8), fitted.wake());
    const std::optional<Pictures::GifAnimation::Frame> frame = fitted.next(small);
    QVERIFY(frame);
    QCOMPARE(frame->image.size(), QSize(8, 8));
    FrameTaker still;
    Pictures::GifAnimation single(
        native(folder_.addFile(QStringLiteral("still.gif"), Samples::Gif(filled({9, 9}, red)))), QSize(), still.wake());
    QVERIFY(!still.next(single));
    QVERIFY(single.finished());
}

// Three hundred frames, looping for ever, with room for ten: the frames
// still come in order, pass after pass, decoded again each time, and never
// more than the budget is held.
void PicturesTest::longAnimationHoldsFewFramesAtOnce()
{
    const auto colourOf = [](int k) { return qRgb(k % 256, k / 256 * 100, 77); };
    QList<Samples::GifFrame> frames;
    for (int k = 0; k < 300; ++k)
        frames.append({.image = filled(QSize(32, 32), colourOf(k)), .delay = 2});
    const std::string path = native(folder_.addFile(QStringLiteral("long.gif"), Samples::Gif({32, 32}, frames)));
    const qint64 budget = 10 * (32 * 32 * 4 + 1024);
    FrameTaker taker;
    Pictures::GifAnimation animation(path, QSize(), taker.wake(), budget);
    for (int shown = 0; shown < 650; ++shown) {
        const std::optional<Pictures::GifAnimation::Frame> frame = taker.next(animation);
        QVERIFY2(frame, qPrintable(QStringLiteral("frame %1").arg(shown)));
        QCOMPARE(frame->image.pixel(16, 16), colourOf(shown % 300));
        QCOMPARE(frame->delay.count(), 20);
    }
    QVERIFY2(animation.peakFrameBytes() <= budget, qPrintable(QString::number(animation.peakFrameBytes())));
    QVERIFY(!animation.finished());
    animation.stop();
    QVERIFY(!animation.next());
    QVERIFY(animation.finished());
}

void PicturesTest::areasAreThePixelsOfTheWholePicture_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<bool>("progressive");
    for (int orientation = 1; orientation <= 8; ++orientation) {
        QTest::addRow("%d baseline", orientation) << orientation << false;
        QTest::addRow("%d progressive", orientation) << orientation << true;
    }
}

// Parts of a 4:2:0 photograph, turned as its tag says, against the same
// pixels of the whole picture decoded at its size: inside, on the edges,
// off whole blocks, and all of it. A part cut from libjpeg's cropped decode
// without its neighbouring blocks differs at its edges in colour.
void PicturesTest::areasAreThePixelsOfTheWholePicture()
{
    QFETCH(int, orientation);
    QFETCH(bool, progressive);
    const QString path = folder_.addFile(
        QStringLiteral("A.JPG"), Samples::Jpeg(Samples::Photograph(QSize(301, 203), 7),
                                               {.progressive = progressive, .exif = Samples::Exif(orientation)}));
    const Pictures::Decoded whole = Pictures::Decode(native(path), QSize(), Purpose::Screen);
    QVERIFY(whole);
    const QSize upright = whole.picture->fileSize;
    QCOMPARE(whole.picture->image.size(), upright);
    for (const QRect area : {QRect(37, 29, 101, 83), QRect(upright.width() - 45, upright.height() - 61, 45, 61),
                             QRect(0, 17, 9, upright.height() - 17), QRect(QPoint(0, 0), upright)}) {
        const Pictures::Decoded part = Pictures::DecodeArea(native(path), area, area.size());
        QVERIFY(part);
        QCOMPARE(part.picture->area, area);
        QCOMPARE(part.picture->fileSize, upright);
        const QImage expected = whole.picture->image.copy(area).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(part.picture->image.convertToFormat(QImage::Format_RGB32), expected);
    }
    // Fitted into a box half its size, a part is decoded at half scale.
    const QRect area(40, 40, 200, 120);
    const Pictures::Decoded half =
        Pictures::DecodeArea(native(path), area & QRect(QPoint(0, 0), upright), QSize(100, 100));
    QVERIFY(half);
    QVERIFY2(half.picture->image.width() <= 120 && half.picture->image.width() >= 50,
             qPrintable(QStringLiteral("%1 px").arg(half.picture->image.width())));
}

// A file manager's thumbnail of a JPEG without one of its own serves a cell,
// but only one of this file (its URI) as it is now (its modification time)
// that decodes; the file is decoded otherwise, and always for the view.
void PicturesTest::sharedThumbnailsOnlyOfTheFileAsItIs()
{
    QTemporaryDir cache;
    const QByteArray previousCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    const auto restore = qScopeGuard([&previousCache] {
        previousCache.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", previousCache);
    });
    const QString path =
        folder_.addFile(QStringLiteral("shared thumbnail é.jpg"), Samples::Jpeg(filled(QSize(640, 480), Qt::red)));
    const qint64 modified = QFileInfo(path).lastModified().toSecsSinceEpoch();
    const QByteArray uri = Pictures::SharedThumbnail::Uri(native(path));
    QVERIFY(uri.startsWith("file:///") && uri.endsWith("/shared%20thumbnail%20%C3%A9.jpg"));
    const QString thumbnail = QString::fromStdString(Pictures::SharedThumbnail::Folder("normal")) + u'/' +
                              QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
    QVERIFY(QDir().mkpath(QFileInfo(thumbnail).path()));
    // As file managers write them: PNG text chunks keyed "Thumb::URI" and "Thumb::MTime".
    const auto writeThumbnail = [&thumbnail](const QByteArray& forUri, qint64 forModified) {
        QImage image = filled(QSize(128, 96), Qt::blue);
        image.setText(QStringLiteral("Thumb::URI"), QString::fromUtf8(forUri));
        image.setText(QStringLiteral("Thumb::MTime"), QString::number(forModified));
        return image.save(thumbnail, "png");
    };
    const auto cellColour = [&path](Purpose purpose) {
        const Pictures::Decoded decoded = Pictures::Decode(native(path), QSize(120, 90), purpose);
        return decoded ? decoded.picture->image.pixelColor(60, 45) : QColor();
    };

    QVERIFY(writeThumbnail(uri, modified));
    QVERIFY(near(cellColour(Purpose::Thumbnail), Qt::blue, 8));
    QVERIFY(near(cellColour(Purpose::View), Qt::red, 8));
    QVERIFY(writeThumbnail(uri, modified - 1)); // the file changed since
    QVERIFY(near(cellColour(Purpose::Thumbnail), Qt::red, 8));
    QVERIFY(writeThumbnail(uri + "x", modified)); // another file's
    QVERIFY(near(cellColour(Purpose::Thumbnail), Qt::red, 8));
    QVERIFY(writeThumbnail(uri, modified));
    QFile damaged(thumbnail);
    QVERIFY(damaged.open(QIODevice::ReadWrite) && damaged.resize(damaged.size() / 2));
    damaged.close();
    QVERIFY(near(cellColour(Purpose::Thumbnail), Qt::red, 8));
}

// A test run, or a single decode to be measured (see DecodeProbe).
int main(int argc, char** argv)
{
    if (const int status = DecodeProbe::RunIfAsked(argc, argv); status >= 0)
        return status;
    QApplication app(argc, argv);
    PicturesTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pictures.moc"
