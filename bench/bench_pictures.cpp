// Times the picture decoder on its own and prints the figures:
//   - a 12-megapixel progressive JPEG at thumbnail size, from its DC scans
//     only and decoded whole;
//   - the cost of converting a thumbnail from its ICC profile to sRGB;
//   - the time and peak memory of every hostile file of the regression set
//     (cyclic EXIF blocks too), each decoded in a fresh process.
//
//   QT_QPA_PLATFORM=offscreen kalvio_bench_pictures [--runs N]

#include "Decode.h"
#include "DecodeLimits.h"
#include "DecodeProbe.h"
#include "JpegDecoder.h"
#include "SampleFiles.h"
#include "Timing.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

template <typename Work>
double medianMs(int runs, Work&& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(Timing::timeMs(work));
    return Timing::median(times);
}

std::string native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString written(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "kalvio_bench_pictures: cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
    return file.fileName();
}

void progressiveThumbnails(const QTemporaryDir& dir, int runs)
{
    const QByteArray bytes =
        Samples::Jpeg(Samples::Photograph(QSize(4000, 3000), 7), {.progressive = true, .quality = 90});
    const std::string path = native(written(dir, QStringLiteral("progressive.jpg"), bytes));
    Pictures::JpegDecoder probe(bytes);
    QImage image;
    probe.readHeader();
    probe.decode(QSize(120, 90), true, image);
    std::printf("12 MP progressive JPEG (%.1f MB), thumbnail 120 x 90, %d runs:\n", bytes.size() / 1e6, runs);
    const double dcOnly = medianMs(runs, [&] { Pictures::Decode(path, 120, Pictures::Purpose::Thumbnail); });
    const double full = medianMs(runs, [&] { Pictures::Decode(path, 120, Pictures::Purpose::View); });
    std::printf("  DC scans only: %7.1f ms median, %d scan(s), %.1f %% of the file read\n", dcOnly,
                probe.report().scans, 100.0 * double(probe.report().bytesRead) / double(bytes.size()));
    std::printf("  every scan:    %7.1f ms median (%.1f times as long)\n\n", full, full / dcOnly);
}

void colourConversion(const QTemporaryDir& dir, int runs)
{
    const QImage photograph = Samples::Photograph(QSize(4000, 3000), 11);
    const QByteArray profile = QColorSpace(QColorSpace::AdobeRgb).iccProfile();
    const std::string tagged =
        native(written(dir, QStringLiteral("tagged.jpg"), Samples::Jpeg(photograph, {.iccProfile = profile})));
    const std::string untagged = native(written(dir, QStringLiteral("untagged.jpg"), Samples::Jpeg(photograph)));
    std::printf("ICC profile to sRGB, 12 MP baseline JPEG at 120 x 90, %d runs:\n", runs);
    const double withProfile = medianMs(runs, [&] { Pictures::Decode(tagged, 120, Pictures::Purpose::Thumbnail); });
    const double without = medianMs(runs, [&] { Pictures::Decode(untagged, 120, Pictures::Purpose::Thumbnail); });
    // The conversion alone, as the decoder does it: parse the profile, convert the thumbnail.
    const QImage thumbnail = photograph.scaled(120, 90, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double alone = medianMs(runs * 20, [&] {
        QImage image = thumbnail;
        image.setColorSpace(QColorSpace::fromIccProfile(profile));
        image.convertToColorSpace(QColorSpace::SRgb);
    });
    std::printf("  decode, tagged %.2f ms, untagged %.2f ms median\n", withProfile, without);
    std::printf("  conversion alone: %.3f ms a thumbnail\n\n", alone);
}

const char* shortName(Pictures::Failure failure)
{
    switch (failure) {
    case Pictures::Failure::None:
        return "shown";
    case Pictures::Failure::Unreadable:
        return "unreadable";
    case Pictures::Failure::NotAPicture:
        return "not a picture";
    case Pictures::Failure::Damaged:
        return "damaged";
    case Pictures::Failure::TooLarge:
        return "too large";
    case Pictures::Failure::TooSlow:
        return "too slow";
    case Pictures::Failure::Cancelled:
        return "cancelled";
    }
    return "?";
}

// The regression set, the costliest progressive file found so far (the
// refinement pass of a flat 6400 x 6400 picture repeated, each a pass over
// 640 000 luma blocks holding real (if empty) data) and cyclic EXIF blocks.
QList<Samples::NamedFile> hostileSet()
{
    QList<Samples::NamedFile> files = Samples::HostileFiles();
    QImage flat(6400, 6400, QImage::Format_RGB32);
    flat.fill(QColor(90, 140, 60));
    const QByteArray progressive = Samples::Jpeg(flat, {.progressive = true});
    const qsizetype lastScan = progressive.lastIndexOf("\xFF\xDA");
    QByteArray repeated = progressive.left(progressive.size() - 2);
    for (int i = 0; i < 70; ++i)
        repeated += progressive.mid(lastScan, progressive.size() - 2 - lastScan);
    files.append({QStringLiteral("flat 6400 x 6400, 70 more refinement scans"), repeated + "\xFF\xD9"});
    // EXIF directories pointing at each other, n pointers each.
    const QImage photo = Samples::Photograph(QSize(640, 480), 3);
    for (const int pointers : {5, 50, 200})
        files.append({QStringLiteral("640 x 480, EXIF cycle of %1 pointers").arg(pointers),
                      Samples::Jpeg(photo, {.exif = Samples::CyclicExif(pointers)})});
    return files;
}

void hostileFiles(const QTemporaryDir& dir)
{
    std::printf("Hostile files, each decoded once for a 533-pixel view in a fresh process (limit %lld MiB):\n",
                Pictures::Limits::MemoryBytes / (1024 * 1024));
    std::printf("  %-46s %9s %9s %9s  %s\n", "file", "KiB", "peak MiB", "ms", "result");
    const QString self = QCoreApplication::applicationFilePath();
    for (const Samples::NamedFile& file : hostileSet()) {
        const QString path = written(dir, QStringLiteral("hostile"), file.bytes);
        const DecodeProbe::Measured measured = DecodeProbe::InChild(self, path, 533, Pictures::Purpose::View);
        std::printf("  %-46s %9.1f %9.1f %9.1f  %s\n", qPrintable(file.name), file.bytes.size() / 1024.0,
                    measured.peakKiB / 1024.0, measured.milliseconds, shortName(measured.failure));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (const int status = DecodeProbe::RunIfAsked(argc, argv); status >= 0)
        return status;
    QCoreApplication app(argc, argv);
    const int runs = argc == 3 && std::strcmp(argv[1], "--runs") == 0 ? std::max(1, std::atoi(argv[2])) : 15;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    progressiveThumbnails(dir, runs);
    colourConversion(dir, runs);
    hostileFiles(dir);
    return 0;
}
