// Times what a user waits for most: a complete page of 24 thumbnails drawn
// from 12-megapixel JPEGs, and the enlarged view of a 24-megapixel JPEG, both
// through the window's own procedures. In the same run it times the naive way
// of doing the same work (every picture decoded at full size, then scaled), so
// that the two figures come from the same machine under the same load.
//
//   QT_QPA_PLATFORM=offscreen kalvio_bench [--pictures N] [--folder DIR]
//
// The pictures are generated once into DIR (default /tmp/kalvio-bench) and
// reused by later runs.

#include "Decode.h"
#include "Kalvio.h"
#include "MousePointer.h"
#include "SampleFiles.h"
#include "Timing.h"
#include "Twips.h"

#include <QApplication>
#include <QColor>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using Timing::Clock;
using Timing::loadAverage;
using Timing::median;
using Timing::minimum;
using Timing::timeMs;

constexpr QSize PageShotSize(4000, 3000);  // 12 megapixels
constexpr QSize LargeShotSize(6000, 4000); // 24 megapixels
constexpr int JpegQuality = 90;
const QString LargeShotName = QStringLiteral("L0001.JPG");

// Repetitions. A naive page costs seconds, so it gets fewer runs; together
// the timed part stays well under two minutes on two cores.
constexpr int KalvioPageRuns = 10;
constexpr int NaivePageRuns = 6;
constexpr int ViewRuns = 9;

struct Options {
    int pictures = 48;
    QString folder = QStringLiteral("/tmp/kalvio-bench");
};

// One line of the result table: the timings of one kind of work and the peak
// resident memory of the phase that did it.
struct Row {
    std::string what;
    std::vector<double> ms;
    long peakKiB = -1;
};

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "kalvio_bench: %s\n", qPrintable(message));
    std::exit(1);
}

// ---- Peak resident memory ----

// The high-water mark of resident memory (VmHWM), in KiB; -1 when unknown.
long peakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// Lowers the high-water mark to the memory resident now, so that the next
// reading is the peak of one phase. Linux only; false when refused.
bool resetPeakResident()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return bool(clear);
}

// ---- The generated pictures ----

bool isGenerated(const QString& path, QSize size)
{
    QImageReader reader(path);
    return reader.canRead() && reader.size() == size;
}

// Writes under a temporary name and renames, so that an interrupted run never
// leaves a half-written picture that a later run would take as done.
void writePicture(const QString& path, QSize size, quint32 seed)
{
    const QString partial =
        QFileInfo(path).dir().filePath(QStringLiteral(".") + QFileInfo(path).fileName() + QStringLiteral(".part"));
    QImageWriter writer(partial, "jpeg");
    writer.setQuality(JpegQuality);
    if (!writer.write(Samples::Photograph(size, seed)))
        fail(QStringLiteral("cannot write %1: %2").arg(partial, writer.errorString()));
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path).constData()) != 0)
        fail(QStringLiteral("cannot rename %1 to %2").arg(partial, path));
}

// Makes sure that folder holds the pictures named in names, all of size; makes
// the missing ones. Returns their paths.
QStringList ensurePictures(const QString& folder, const QStringList& names, QSize size, quint32 firstSeed)
{
    if (!QDir().mkpath(folder))
        fail(QStringLiteral("cannot create %1").arg(folder));
    QStringList paths;
    QStringList missing;
    for (const QString& name : names) {
        paths << QDir(folder).filePath(name);
        if (!isGenerated(paths.back(), size))
            missing << name;
    }
    if (missing.isEmpty())
        return paths;

    std::printf("Generating %lld JPEG(s) of %d x %d into %s\n"
                "  (done once, about half a second a picture; later runs reuse them) ",
                qlonglong(missing.size()), size.width(), size.height(), qPrintable(folder));
    std::fflush(stdout);
    const Clock::time_point start = Clock::now();
    for (const QString& name : missing) {
        writePicture(QDir(folder).filePath(name), size, firstSeed + quint32(names.indexOf(name)));
        std::printf(".");
        std::fflush(stdout);
    }
    std::printf(" %.1f s\n", std::chrono::duration<double>(Clock::now() - start).count());
    return paths;
}

// ---- The window ----

// A window started as the program starts it: the folder as the current
// directory, Form_Load run to its end (which draws page 0 once).
std::unique_ptr<Kalvio> startIn(const QString& folder)
{
    const QString previous = QDir::currentPath();
    if (!QDir::setCurrent(folder))
        fail(QStringLiteral("cannot change to %1").arg(folder));
    auto window = std::make_unique<Kalvio>();
    window->Form_Load();
    QDir::setCurrent(previous);
    return window;
}

// A complete pass ran and every one of the 24 cells holds a loaded picture.
bool pageIsComplete(const Kalvio& window)
{
    if (window.tags.passCell != -1)
        return false;
    for (const PictureBox* cell : window.Obr) {
        if (cell->mousePointer() != MousePointer::Custom)
            return false;
    }
    return true;
}

// Draws page through the window's own pass and lets the last repaints run, so
// that the page is complete on screen when the clock stops.
double timePage(Kalvio& window, int page)
{
    window.tags.pageIndex = page;
    const double ms = timeMs([&window] {
        window.ShowPage();
        QCoreApplication::processEvents();
    });
    if (!pageIsComplete(window))
        fail(QStringLiteral("page %1 was not drawn completely").arg(page));
    return ms;
}

// The naive thumbnails: every picture decoded at full size, then scaled
// smoothly to the size it is drawn at. Returns a value taken from the
// pictures so that no work can be left out.
quint64 naiveThumbnails(const QStringList& paths, QSize drawn)
{
    quint64 sink = 0;
    for (const QString& path : paths) {
        QImageReader reader(path);
        const QImage full = reader.read();
        if (full.isNull())
            fail(QStringLiteral("cannot decode %1: %2").arg(path, reader.errorString()));
        const QImage small = full.scaled(drawn, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        sink += small.pixel(small.width() / 2, small.height() / 2);
    }
    return sink;
}

void printTable(const std::vector<Row>& rows, bool peakPerPhase)
{
    std::printf("\n%-54s %10s %9s %5s %9s\n", "what", "median ms", "min ms", "runs",
                peakPerPhase ? "peak MiB" : "HWM MiB");
    for (const Row& row : rows) {
        std::printf("%-54s %10.1f %9.1f %5zu", row.what.c_str(), median(row.ms), minimum(row.ms), row.ms.size());
        if (row.peakKiB >= 0)
            std::printf(" %9.0f", row.peakKiB / 1024.0);
        std::printf("\n");
    }
}

bool parseOptions(const QApplication& app, Options& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Times complete thumbnail pages of 12-megapixel JPEGs and the enlarged view of a 24-megapixel JPEG "
        "through Kalvio's window, beside decoding every picture at full size."));
    parser.addHelpOption();
    const QCommandLineOption pictures(QStringLiteral("pictures"),
                                      QStringLiteral("Number of 12-megapixel pictures (default 48)."),
                                      QStringLiteral("N"), QStringLiteral("48"));
    const QCommandLineOption folder(QStringLiteral("folder"),
                                    QStringLiteral("Folder that holds the generated pictures, made or reused "
                                                   "(default /tmp/kalvio-bench)."),
                                    QStringLiteral("DIR"), options.folder);
    parser.addOption(pictures);
    parser.addOption(folder);
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "kalvio_bench: unexpected argument %s\n", qPrintable(parser.positionalArguments()[0]));
        return false;
    }
    bool ok = false;
    options.pictures = parser.value(pictures).toInt(&ok);
    if (!ok || options.pictures < 24 || options.pictures > 9999) {
        std::fprintf(stderr, "kalvio_bench: --pictures needs a number from 24 to 9999 (one complete page)\n");
        return false;
    }
    options.folder = QDir(parser.value(folder)).absolutePath();
    return true;
}

// ---- The phases ----

struct PageFigures {
    QSize cell;    // the cell, in pixels
    QSize decoded; // what Kalvio decoded a picture to
    QSize drawn;   // what the naive way scales a picture to
    double kalvioMs = 0;
    double naiveMs = 0;
};

// Complete pages through the window's pass, the decoding share of them, and
// the naive way for the same files.
PageFigures measurePages(const QString& folder, int pictures, bool peakPerPhase, std::vector<Row>& rows)
{
    PageFigures figures;
    const int fullPages = std::min(2, pictures / Kalvio::CellCount);
    std::vector<QStringList> pageFiles(fullPages);
    {
        std::unique_ptr<Kalvio> window = startIn(folder);
        if (window->File1->ListCount() != pictures)
            fail(QStringLiteral("%1 lists %2 pictures, expected %3; use a folder that holds only the generated ones")
                     .arg(folder)
                     .arg(window->File1->ListCount())
                     .arg(pictures));
        for (int page = 0; page < fullPages; ++page) {
            for (int i = 0; i < Kalvio::CellCount; ++i)
                pageFiles[page] << QDir(folder).filePath(window->File1->List(Kalvio::CellCount * page + i));
        }
        figures.cell = QSize(Twips::ToPixels(window->Obr[0]->Width()), Twips::ToPixels(window->Obr[0]->Height()));

        // Form_Load drew page 0 once; one more pass over every page warms the
        // file cache for both ways alike.
        for (int page = 0; page < fullPages; ++page)
            timePage(*window, page);
        Row pageRow{"Kalvio: ShowPage, complete page of 24 cells", {}, -1};
        for (int run = 0; run < KalvioPageRuns; ++run)
            pageRow.ms.push_back(timePage(*window, run % fullPages));
        figures.decoded = window->Vstup->picture()->image.size();

        // The share of the decoding in it: the window's one decode function
        // alone, for the same pictures at the same size.
        const int longSide = std::max(figures.decoded.width(), figures.decoded.height());
        Row decodeRow{"Kalvio: Pictures::Decode at cell size, 24 pictures", {}, -1};
        for (int run = 0; run < KalvioPageRuns; ++run) {
            decodeRow.ms.push_back(timeMs([&] {
                for (const QString& path : pageFiles[run % fullPages]) {
                    if (!Pictures::Decode(QFile::encodeName(path).toStdString(), longSide,
                                          Pictures::Purpose::Thumbnail))
                        fail(QStringLiteral("cannot decode %1").arg(path));
                }
            }));
        }
        pageRow.peakKiB = decodeRow.peakKiB = peakResidentKiB();
        figures.kalvioMs = median(pageRow.ms);
        rows.push_back(pageRow);
        rows.push_back(decodeRow);
    }

    if (peakPerPhase)
        resetPeakResident();
    figures.drawn = PageShotSize.scaled(figures.cell.width(), figures.cell.width(), Qt::KeepAspectRatio);
    Row naiveRow{"naive: full decode + smooth scale, 24 pictures", {}, -1};
    quint64 sink = 0;
    for (int run = 0; run < NaivePageRuns; ++run)
        naiveRow.ms.push_back(timeMs([&] { sink += naiveThumbnails(pageFiles[run % fullPages], figures.drawn); }));
    naiveRow.peakKiB = peakResidentKiB();
    figures.naiveMs = median(naiveRow.ms);
    rows.push_back(naiveRow);
    if (sink == 0)
        std::printf("(every sampled pixel was black)\n");
    return figures;
}

struct ViewFigures {
    int longSide = 0; // the view's width, in pixels
    QSize decoded;    // what Kalvio decoded the picture to
    double kalvioMs = 0;
    double naiveDecodeMs = 0;
};

// Opening the enlarged view through the window, and the full-size decode of
// the same file with and without the scaling to the view.
ViewFigures measureView(const QString& folder, const QString& path, bool peakPerPhase, std::vector<Row>& rows)
{
    ViewFigures figures;
    if (peakPerPhase)
        resetPeakResident();
    {
        std::unique_ptr<Kalvio> window = startIn(folder);
        if (window->Okno[0]->Caption() != LargeShotName || window->Obr[0]->mousePointer() != MousePointer::Custom)
            fail(QStringLiteral("%1 was not drawn into cell 0 of %2").arg(LargeShotName, folder));
        figures.longSide = Twips::ToPixels(window->ZoomOkno->Width());
        Row row{"Kalvio: Obr_Click, enlarged view of 24 MP JPEG", {}, -1};
        // The first opening is a warm-up and is not counted.
        for (int run = 0; run <= ViewRuns; ++run) {
            const double ms = timeMs([&window] {
                window->Obr_Click(0);
                QCoreApplication::processEvents();
            });
            if (!window->ZoomOkno->Visible())
                fail(QStringLiteral("the enlarged view did not open"));
            figures.decoded = window->Vstup->picture()->image.size();
            window->ZoomOkno_Click();
            QCoreApplication::processEvents();
            if (window->ZoomOkno->Visible())
                fail(QStringLiteral("the enlarged view did not close"));
            if (run > 0)
                row.ms.push_back(ms);
        }
        row.peakKiB = peakResidentKiB();
        figures.kalvioMs = median(row.ms);
        rows.push_back(row);
    }

    if (peakPerPhase)
        resetPeakResident();
    Row decodeRow{"naive: full-size decode of 24 MP JPEG", {}, -1};
    Row scaleRow{
        QStringLiteral("naive: full-size decode + smooth scale to %1 px").arg(figures.longSide).toStdString(), {}, -1};
    quint64 sink = 0;
    for (int run = 0; run < ViewRuns; ++run) {
        const Clock::time_point start = Clock::now();
        QImageReader reader(path);
        const QImage full = reader.read();
        if (full.isNull())
            fail(QStringLiteral("cannot decode %1: %2").arg(path, reader.errorString()));
        const Clock::time_point decoded = Clock::now();
        const QImage view =
            full.scaled(figures.longSide, figures.longSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        sink += view.pixel(view.width() / 2, view.height() / 2);
        const Clock::time_point scaled = Clock::now();
        decodeRow.ms.push_back(std::chrono::duration<double, std::milli>(decoded - start).count());
        scaleRow.ms.push_back(std::chrono::duration<double, std::milli>(scaled - start).count());
    }
    decodeRow.peakKiB = scaleRow.peakKiB = peakResidentKiB();
    figures.naiveDecodeMs = median(decodeRow.ms);
    rows.push_back(decodeRow);
    rows.push_back(scaleRow);
    if (sink == 0)
        std::printf("(every sampled pixel was black)\n");
    return figures;
}

} // namespace

int main(int argc, char* argv[])
{
    // The window is drawn offscreen unless the caller chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kalvio_bench"));
    Options options;
    if (!parseOptions(app, options))
        return 2;

    // ---- Pictures ----
    const QString pagesFolder = QDir(options.folder).filePath(QStringLiteral("pages-%1").arg(options.pictures));
    const QString largeFolder = QDir(options.folder).filePath(QStringLiteral("large"));
    QStringList names;
    for (int k = 1; k <= options.pictures; ++k)
        names << QStringLiteral("P%1.JPG").arg(k, 4, 10, QLatin1Char('0'));
    ensurePictures(pagesFolder, names, PageShotSize, 1);
    const QStringList largePaths = ensurePictures(largeFolder, {LargeShotName}, LargeShotSize, 1000);
    std::printf("Pictures: %s (%d of %d x %d), %s (%d x %d); JPEG quality %d\n", qPrintable(pagesFolder),
                options.pictures, PageShotSize.width(), PageShotSize.height(), qPrintable(largePaths[0]),
                LargeShotSize.width(), LargeShotSize.height(), JpegQuality);

    const std::string loadAtStart = loadAverage();
    const Clock::time_point timedStart = Clock::now();
    // Peaks are per phase when the kernel lets the high-water mark be reset.
    const bool peakPerPhase = resetPeakResident();
    std::vector<Row> rows;
    const PageFigures page = measurePages(pagesFolder, options.pictures, peakPerPhase, rows);
    const ViewFigures view = measureView(largeFolder, largePaths[0], peakPerPhase, rows);

    printTable(rows, peakPerPhase);
    std::printf("\nCell %d x %d px: Kalvio decoded each %d x %d picture at %d x %d; the naive way scales to %d x %d.\n",
                page.cell.width(), page.cell.height(), PageShotSize.width(), PageShotSize.height(),
                page.decoded.width(), page.decoded.height(), page.drawn.width(), page.drawn.height());
    std::printf("View %d px wide: Kalvio decoded the %d x %d picture at %d x %d.\n", view.longSide,
                LargeShotSize.width(), LargeShotSize.height(), view.decoded.width(), view.decoded.height());
    std::printf(
        "A page: Kalvio %.1fx faster than full-size decoding. The view: %.1fx faster than a full-size decode alone.\n",
        page.naiveMs / page.kalvioMs, view.naiveDecodeMs / view.kalvioMs);
    std::printf("Timed part %.0f s; load average %s at its start, %s at its end, on %d cores.\n",
                std::chrono::duration<double>(Clock::now() - timedStart).count(), loadAtStart.c_str(),
                loadAverage().c_str(), QThread::idealThreadCount());
    std::printf("%s\n", peakPerPhase
                            ? "peak MiB: highest resident memory during each phase (rows of one phase share it)"
                            : "HWM MiB: high-water mark of resident memory since start (could not reset it)");
    return 0;
}
