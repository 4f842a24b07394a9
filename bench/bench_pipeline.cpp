// Times the picture pipeline as the window uses it: a page of 24 requests
// submitted at once, then waited for cell by cell while events run. Each page
// runs on a fresh pipeline (empty cache) with 1 worker and with one per core,
// and the same decodes are timed one after another on this thread.
//
//   kalvio_bench_pipeline [--folder DIR]
//
// The fake decodes sleep 30 ms each, so they show the pipeline's own overhead
// and how it spreads work. The real ones decode the first 24 JPEGs of DIR
// (default /tmp/kalvio-bench/plain, which kalvio_bench fills) at 120 px; without
// them that part is skipped. Last, what a cache hit costs the window.

#include "Pipeline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

using namespace Pictures;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int PageCells = 24;
constexpr int CellLongSide = 120;
constexpr int Runs = 5;
constexpr auto FakeDecodeTime = std::chrono::milliseconds(30);
constexpr int HitCalls = 100000;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double medianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A page pass: submit, then wait for each cell in turn, running events.
void drawPage(Pipeline& pipeline, const std::vector<Request>& page)
{
    pipeline.submit(page);
    for (const Request& cell : page) {
        while (!pipeline.tryGet(cell))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

// Median of Runs page passes, each on a new pipeline; workers 0: one per core.
double pipelinePageMs(const Pipeline::DecodeFunction& decode, const std::vector<Request>& page, int workers)
{
    std::vector<double> ms;
    for (int run = 0; run < Runs; ++run) {
        Pipeline pipeline(Pipeline::Options{.workers = workers, .decode = decode});
        QObject window;
        QObject::connect(&pipeline, &Pipeline::resultReady, &window, [] {});
        const Clock::time_point start = Clock::now();
        drawPage(pipeline, page);
        ms.push_back(msSince(start));
    }
    return medianOf(ms);
}

double sequentialPageMs(const Pipeline::DecodeFunction& decode, const std::vector<Request>& page)
{
    std::vector<double> ms;
    for (int run = 0; run < Runs; ++run) {
        const Clock::time_point start = Clock::now();
        for (const Request& cell : page)
            decode(cell.candidates.back(), cell.box, cell.purpose);
        ms.push_back(msSince(start));
    }
    return medianOf(ms);
}

// Cells as the window asks for them: the THM copy (missing here), else the picture.
std::vector<Request> pageOf(const QStringList& paths)
{
    std::vector<Request> page;
    for (const QString& path : paths) {
        const QFileInfo file(path);
        const QString thumbnail = file.path() + QStringLiteral("/THM/T") + file.fileName();
        page.push_back(Request{{QFile::encodeName(thumbnail).toStdString(), QFile::encodeName(path).toStdString()},
                               SquareBox(CellLongSide),
                               Purpose::Thumbnail});
    }
    return page;
}

void printRow(const char* what, double ms)
{
    std::printf("| %-58s | %9.1f |\n", what, ms);
}

void timePage(const char* kind, const Pipeline::DecodeFunction& decode, const std::vector<Request>& page)
{
    const int cores = int(std::max(1U, std::thread::hardware_concurrency()));
    char what[128];
    std::snprintf(what, sizeof what, "%s: one after another", kind);
    printRow(what, sequentialPageMs(decode, page));
    std::snprintf(what, sizeof what, "%s: pipeline, 1 worker", kind);
    printRow(what, pipelinePageMs(decode, page, 1));
    std::snprintf(what, sizeof what, "%s: pipeline, %d workers", kind, cores);
    printRow(what, pipelinePageMs(decode, page, 0));
}

// Microseconds a tryGet takes when the picture is cached (two stat calls and
// a lookup), over HitCalls calls.
double cacheHitMicroseconds(const std::vector<Request>& page)
{
    Pipeline pipeline(Pipeline::Options{.decode = [](const std::string&, QSize box, Purpose) {
        const int side = box.width();
        QImage image(side, side * 3 / 4, QImage::Format_RGB32);
        return Decoded{Picture{image, image.size()}, Failure::None};
    }});
    QObject window;
    QObject::connect(&pipeline, &Pipeline::resultReady, &window, [] {});
    drawPage(pipeline, page);
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < HitCalls; ++i)
        static_cast<void>(pipeline.tryGet(page[std::size_t(i % PageCells)]));
    return msSince(start) * 1000 / HitCalls;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("JPEGs to decode for real."),
                                    QStringLiteral("dir"), QStringLiteral("/tmp/kalvio-bench/plain"));
    parser.addOption(folder);
    parser.process(app);

    QTemporaryDir empty;
    QStringList fakeFiles;
    for (int i = 0; i < PageCells; ++i) {
        fakeFiles << empty.filePath(QStringLiteral("P%1.JPG").arg(i));
        QFile(fakeFiles.back()).open(QIODevice::WriteOnly);
    }
    const std::vector<Request> fakePage = pageOf(fakeFiles);
    const Pipeline::DecodeFunction sleeper = [](const std::string&, QSize box, Purpose) {
        const int side = box.width();
        std::this_thread::sleep_for(FakeDecodeTime);
        QImage image(side, side * 3 / 4, QImage::Format_RGB32);
        return Decoded{Picture{image, image.size()}, Failure::None};
    };

    std::printf("| %-58s | %9s |\n|%s|%s|\n", "page of 24 cells, median of 5", "ms", std::string(60, '-').c_str(),
                std::string(11, '-').c_str());
    timePage("fake 30 ms decodes", sleeper, fakePage);

    QDir pictures(parser.value(folder));
    QStringList jpegs = pictures.entryList({QStringLiteral("*.JPG")}, QDir::Files, QDir::Name);
    if (jpegs.size() >= PageCells) {
        jpegs = jpegs.mid(0, PageCells);
        for (QString& name : jpegs)
            name = pictures.filePath(name);
        const std::vector<Request> page = pageOf(jpegs);
        // The first decode loads the JPEG plugin; it is not part of a page.
        Decode(page[0].candidates.back(), CellLongSide, Purpose::Thumbnail);
        timePage("real JPEGs at 120 px", Pipeline::Options().decode, page);
    } else {
        std::printf("(no %d JPEGs in %s for real decoding: run kalvio_bench once to make them)\n", PageCells,
                    qPrintable(pictures.path()));
    }
    std::printf("\ncache hit (tryGet of a cached cell, THM missing): %.2f us\n", cacheHitMicroseconds(fakePage));
    return 0;
}
