// Times what a photographer waits for in Kalvio, beside the programs they
// would use instead, on the same warm files in the same run:
//   1. the first page of 24 thumbnails, a fresh window started on the folder
//      until its first pass has drawn every cell, for 12-megapixel photographs
//      stored plainly, as a camera stores them (with a 160 x 120 EXIF
//      thumbnail) and as progressive JPEGs, and the plain ones again with the
//      desktop's shared thumbnails filled as a file manager fills them;
//      beside vipsthumbnail making the same 24 thumbnails, and nsxiv showing
//      the camera ones; the same page is also timed for the program itself
//      as a whole process, as the peers are, on the X server nsxiv uses; and
//      the program's first paint on an empty folder, beside a minimal Qt
//      program's;
//   2. turning to page 2, and stepping to the next picture in the enlarged
//      view, each after a second spent on what came before;
//   3. changing to a folder of 100 000 names, against a folder of 24, until
//      its first page is drawn;
//   4. the peak memory of a process drawing the progressive first page (and
//      decoding ahead for a second), then turning five pages of them faster
//      than they are drawn, as on machines of 2, 8, 32 and 64 cores.
// Figures are medians and minimums over several runs; the machine is shared,
// so the ratios to the peers are what carries from one run to another.
//
//   QT_QPA_PLATFORM=offscreen kalvio_bench [--runs N] [--folder DIR] [--memory-only]
//
// The pictures are made once into DIR (default /tmp/kalvio-bench) and reused.

#include "CommandLine.h"
#include "Decode.h"
#include "FileList.h"
#include "FolderService.h"
#include "FolderSource.h"
#include "FrameButton.h"
#include "Kalvio.h"
#include "MousePointer.h"
#include "PageGrid.h"
#include "PeerPrograms.h"
#include "PictureBox.h"
#include "PictureSets.h"
#include "PrivateXServer.h"
#include "SharedThumbnail.h"
#include "Timing.h"
#include "Twips.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using PictureSets::PageCells;
using PictureSets::Set;
using Timing::Clock;
using Timing::median;
using Timing::minimum;
using Timing::timeMs;

constexpr int ChildLimitMs = 60000;

// What the window is given to settle before a timed step: decode-ahead runs meanwhile.
constexpr int IdleMs = 1000;

// The goals: a ratio to the peer, or milliseconds.
constexpr double PlainRatioGoal = 0.45;
constexpr double SharedCacheRatioGoal = 0.12;
constexpr double CameraRatioGoal = 0.8; // of the whole process
constexpr double FirstPaintRatioGoal = 1.25;
constexpr double ProgressiveRatioGoal = 0.15;
constexpr double PageTurnGoalMs = 50;
constexpr double ViewStepGoalMs = 50;
constexpr double ManyNamesGoalMs = 150;

struct Options {
    int runs = 7;
    QString folder = QStringLiteral("/tmp/kalvio-bench");
    // Set in the child that measures memory: the folder likewise; it then
    // decodes ahead for a second and says its peak resident memory.
    QString firstPageMemory;
    bool memoryOnly = false; // only part 4
};

// The worker counts part 4 stands for machines of, through the pipeline's
// KALVIO_DECODE_WORKERS.
constexpr int MemoryWorkers[] = {2, 8, 32, 64};

// What the program's start-up log says (QT_LOGGING_RULES=kalvio.startup=true),
// and what the minimal Qt program says.
constexpr char WindowPainted[] = "window painted";
constexpr char FirstPageDrawn[] = "first page drawn";
constexpr char MinimalPainted[] = "painted";

using Times = std::vector<double>;

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "kalvio_bench: %s\n", qPrintable(message));
    std::exit(1);
}

// ---- The window ----

// Lets the window run its events for ms milliseconds, as it would while the
// user looks at it.
void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The window's controls by their names: the window and its parts keep their
// widgets to themselves.
PictureBox* thumbnail(const Kalvio& window, int cell)
{
    return window.findChild<PictureBox*>(QStringLiteral("thumbnail%1").arg(cell));
}
FrameButton* frame(const Kalvio& window, int cell)
{
    return window.findChild<FrameButton*>(QStringLiteral("frame%1").arg(cell));
}
PictureBox* viewBox(const Kalvio& window)
{
    return window.findChild<PictureBox*>(QStringLiteral("enlargedView"));
}
FileList* fileList(const Kalvio& window)
{
    return window.findChild<FileList*>(QStringLiteral("fileList"));
}

// A complete pass ran and every one of the 24 cells holds a picture.
bool pageIsComplete(const Kalvio& window)
{
    if (window.grid().passCell().value_or(-1) != -1)
        return false;
    for (int i = 0; i < Kalvio::CellCount; ++i) {
        const PictureBox* cell = thumbnail(window, i);
        if (cell->mousePointer() != MousePointer::Custom)
            return false;
    }
    return true;
}

// A window started as `kalvio FOLDER` starts it: made, then loaded, which
// draws the first page; load returns once that pass is done. The
// repaints it left pending are let run, so the page is on screen when the
// time is taken.
std::unique_ptr<Kalvio> startWindow(const QString& folder)
{
    auto window = std::make_unique<Kalvio>();
    window->setStartPath(folder, QString());
    window->load();
    QCoreApplication::processEvents();
    return window;
}

// A window closed between runs takes its pipeline and cache along; what it
// decoded ahead and its deferred deletions end here, before the next run.
void closeWindow(std::unique_ptr<Kalvio>& window)
{
    window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void expectPage(const Kalvio& window, const QString& firstName, const QString& what)
{
    if (!pageIsComplete(window) || frame(window, 0)->Caption() != firstName)
        fail(QStringLiteral("%1: the page was not drawn completely, starting at %2").arg(what, firstName));
}

// Wall time, and the processor time of the whole process meanwhile (every
// worker thread included).
struct Cost {
    double wallMs = 0;
    double cpuMs = 0;
};

// The first page of a fresh window on set's folder.
Cost firstPage(const Set& set)
{
    std::unique_ptr<Kalvio> window;
    const double cpuBefore = Timing::cpuMs(RUSAGE_SELF);
    const double ms = timeMs([&] { window = startWindow(set.folder); });
    const Cost cost{ms, Timing::cpuMs(RUSAGE_SELF) - cpuBefore};
    expectPage(*window, QFileInfo(set.paths[0]).fileName(), set.folder);
    closeWindow(window);
    return cost;
}

// The child's part in part 4: the first page, a second of decoding ahead,
// the pages turned four forward and four back four times over, a turn every
// 40 ms (each cancels the decodes of the page before), a second of rest,
// then the process's peak resident memory in KiB. Any folder will do,
// hostile files too: the peak is said whether or not every cell got a
// picture.
int firstPageMemoryOnly(const QString& folder)
{
    std::unique_ptr<Kalvio> window = startWindow(folder);
    idle(IdleMs);
    for (int round = 0; round < 4; ++round) {
        for (const bool forward : {true, true, true, true, false, false, false, false}) {
            forward ? window->pageForwardArrowClicked() : window->pageBackArrowClicked();
            idle(40);
        }
    }
    idle(IdleMs);
    std::printf("%ld\n", Timing::peakResidentKiB());
    std::fflush(stdout);
    return 0;
}

// A program started as a whole process, in `folder`, timed from its start
// until a line of its standard error holds `said`; then it is ended. On
// `display`, else offscreen.
std::optional<double> untilSaid(const QString& program, const QStringList& arguments, const QString& folder,
                                const QString& display, const QString& cacheHome, const char* said)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("kalvio.startup=true"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), cacheHome);
    if (display.isEmpty()) {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    } else {
        environment.insert(QStringLiteral("DISPLAY"), display);
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    }
    child.setProcessEnvironment(environment);
    child.setWorkingDirectory(folder);
    child.setStandardOutputFile(QProcess::nullDevice());
    child.setReadChannel(QProcess::StandardError);
    const Clock::time_point start = Clock::now();
    child.start(program, arguments);
    std::optional<double> ms;
    QByteArray lines;
    while (!ms && child.waitForReadyRead(ChildLimitMs)) {
        lines += child.readAllStandardError();
        if (lines.contains(said))
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    child.kill();
    child.waitForFinished(ChildLimitMs);
    return ms;
}

// The program itself started on set's folder, until its first page is drawn.
std::optional<double> firstPageOfProcessMs(const Set& set, const QString& display, const QString& cacheHome)
{
    return untilSaid(QStringLiteral(KALVIO_PROGRAM), {set.folder}, set.folder, display, cacheHome, FirstPageDrawn);
}

// The longer side a thumbnail is drawn at: the cell's width, in pixels.
int cellLongSide(const QString& emptyFolder)
{
    std::unique_ptr<Kalvio> window = startWindow(emptyFolder);
    const int side = thumbnail(*window, 0)->Width().pixels();
    closeWindow(window);
    return side;
}

// ---- Printing ----

std::string figure(const Times& ms)
{
    char text[64];
    if (ms.empty())
        std::snprintf(text, sizeof text, "%9s %9s", "-", "-");
    else
        std::snprintf(text, sizeof text, "%9.1f %9.1f", median(ms), minimum(ms));
    return text;
}

const char* verdict(bool met)
{
    return met ? "met" : "MISSED";
}

void printHeading(const char* title)
{
    std::printf("\n%s\n", title);
}

// Starts a phase of the benchmark whose peak resident memory is of
// interest: the memory freed before is returned to the system first, so the
// figures are the phase's own. Returns the resident memory at its start.
long startMemoryPhase()
{
    malloc_trim(0);
    Timing::resetPeakResident();
    return Timing::residentKiB();
}

std::string memoryOfPhase(long startKiB)
{
    char text[96];
    std::snprintf(text, sizeof text, "peak resident memory %.0f MiB (%.0f MiB at its start)",
                  double(Timing::peakResidentKiB()) / 1024, double(startKiB) / 1024);
    return text;
}

// ---- 1. First pages beside the peers ----

struct PageSet {
    const char* what;
    Set set;
    double goal; // largest ratio to vipsthumbnail (or nsxiv) that meets the goal
    bool withNsxiv;
    // The desktop's shared thumbnail cache this set is drawn with (XDG_CACHE_HOME).
    QString cacheHome{};
};

// The desktop's shared thumbnails of the pages, as a file manager leaves
// them: a PNG of 128 pixels per picture under cacheHome/thumbnails/normal,
// named by the MD5 of its URI, with its Thumb::URI and Thumb::MTime.
void fillSharedCache(const QString& cacheHome, const QStringList& paths)
{
    const QString folder = cacheHome + QStringLiteral("/thumbnails/normal");
    if (!QDir().mkpath(folder))
        std::exit(1);
    for (const QString& path : paths) {
        const std::string native = QFile::encodeName(path).toStdString();
        const Pictures::Decoded decoded = Pictures::Decode(native, 128, Pictures::Purpose::View);
        if (!decoded)
            std::exit(1);
        QImage image = decoded.picture->image;
        const QByteArray uri = Pictures::SharedThumbnail::Uri(native);
        image.setText(QStringLiteral("Thumb::URI"), QString::fromUtf8(uri));
        image.setText(QStringLiteral("Thumb::MTime"),
                      QString::number(QFileInfo(path).lastModified().toSecsSinceEpoch()));
        if (!image.save(folder + u'/' + QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png", "png"))
            std::exit(1);
    }
}

// Kalvio reads the shared thumbnails of XDG_CACHE_HOME while the scope lasts.
class CacheHome {
public:
    explicit CacheHome(const QString& home) : previous_(qgetenv("XDG_CACHE_HOME"))
    {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home));
    }
    ~CacheHome() { qputenv("XDG_CACHE_HOME", previous_); }
    CacheHome(const CacheHome&) = delete;
    CacheHome& operator=(const CacheHome&) = delete;

private:
    QByteArray previous_;
};

// Wall times of a first page, and the processor time it took meanwhile:
// their quotient is the number of cores that were at work on average.
// The ratios are taken within each run, between figures timed one right
// after the other, so that the load of the moment weighs on both.
struct PageFigures {
    Times kalvio, kalvioCpu, kalvioProcess, vips, vipsCpu, nsxiv, nsxivCpu, decodeAlone;
    Times toVips, toNsxiv, processToVips, processToNsxiv;
    // The untimed first run: a window in a process that has not yet held
    // such pictures (its heap still to grow) and a peer's first start.
    double kalvioWarmUp = 0;
    std::string memory;
};

// Reads every file once, so that every program finds them in the page cache.
void warmFiles(const QStringList& paths)
{
    for (const QString& path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.readAll().isEmpty())
            fail(QStringLiteral("cannot read %1").arg(path));
    }
}

// The decoding a page needs, on this one thread: what the workers share.
double decodeAloneMs(const QStringList& paths, int longSide)
{
    return timeMs([&] {
        for (const QString& path : paths) {
            if (!Pictures::Decode(QFile::encodeName(path).toStdString(), longSide, Pictures::Purpose::Thumbnail))
                fail(QStringLiteral("cannot decode %1").arg(path));
        }
    });
}

struct Peers {
    bool vips = false;
    QString display;      // the X server's, empty without one
    QString nsxivDisplay; // empty: nsxiv is not timed
    QString outFolder;    // where vipsthumbnail writes
    QString cacheRoot;    // where each nsxiv run gets an empty cache
    int longSide = 0;
};

// Each nsxiv run starts with a cache of its own, empty.
std::optional<double> nsxivRun(const QStringList& page, const Peers& peers)
{
    static int runs = 0;
    const QString cacheHome = QDir(peers.cacheRoot).filePath(QString::number(++runs));
    return PeerPrograms::NsxivMs(page, peers.nsxivDisplay, cacheHome);
}

// Runs a peer process; when it succeeds, keeps its wall time and the
// processor time it used (it is waited for, so it counts as an ended child).
template <typename Run>
std::optional<double> timePeer(Run&& run, Times& wall, Times& cpu)
{
    const double cpuBefore = Timing::cpuMs(RUSAGE_CHILDREN);
    const std::optional<double> ms = run();
    if (ms) {
        wall.push_back(*ms);
        cpu.push_back(Timing::cpuMs(RUSAGE_CHILDREN) - cpuBefore);
    }
    return ms;
}

// Kalvio and what it is set beside, in an order that alternates between
// runs so that neither always follows the other.
template <typename TimeKalvio, typename TimePeer>
void inAlternatingOrder(int run, const TimeKalvio& timeKalvio, const TimePeer& timePeer)
{
    if (run % 2) {
        timePeer();
        timeKalvio();
    } else {
        timeKalvio();
        timePeer();
    }
}

// One timed run of every program on the page, in an order that alternates
// between runs so that neither always follows the other.
void timePageOnce(const PageSet& kind, const QStringList& page, const Peers& peers, int run, PageFigures& figures)
{
    Cost kalvio;
    std::optional<double> kalvioProcess, vips, nsxiv;
    const auto timeKalvio = [&] {
        const CacheHome cache(kind.cacheHome);
        kalvio = firstPage(kind.set);
        figures.kalvio.push_back(kalvio.wallMs);
        figures.kalvioCpu.push_back(kalvio.cpuMs);
        kalvioProcess = firstPageOfProcessMs(kind.set, peers.display, kind.cacheHome);
        if (kalvioProcess)
            figures.kalvioProcess.push_back(*kalvioProcess);
    };
    const auto timePeers = [&] {
        if (peers.vips) {
            vips = timePeer([&] { return PeerPrograms::VipsthumbnailMs(page, peers.longSide, peers.outFolder); },
                            figures.vips, figures.vipsCpu);
        }
        if (kind.withNsxiv && !peers.nsxivDisplay.isEmpty())
            nsxiv = timePeer([&] { return nsxivRun(page, peers); }, figures.nsxiv, figures.nsxivCpu);
    };
    inAlternatingOrder(run, timeKalvio, timePeers);
    const auto keepRatios = [&](const std::optional<double>& peer, Times& ofWindow, Times& ofProcess) {
        if (!peer)
            return;
        ofWindow.push_back(kalvio.wallMs / *peer);
        if (kalvioProcess)
            ofProcess.push_back(*kalvioProcess / *peer);
    };
    keepRatios(vips, figures.toVips, figures.processToVips);
    keepRatios(nsxiv, figures.toNsxiv, figures.processToNsxiv);
}

PageFigures timeFirstPages(const PageSet& kind, const Peers& peers, int runs)
{
    const QStringList page = kind.set.paths.mid(0, PageCells);
    warmFiles(kind.set.paths);
    const long memoryAtStart = startMemoryPhase();
    PageFigures figures;
    // The first of each is a warm-up: libraries, plugins and fonts loaded.
    timePageOnce(kind, page, peers, 0, figures);
    const double warmUp = figures.kalvio.at(0);
    figures = PageFigures();
    figures.kalvioWarmUp = warmUp;
    for (int run = 1; run <= runs; ++run) {
        timePageOnce(kind, page, peers, run, figures);
        figures.decodeAlone.push_back(decodeAloneMs(page, peers.longSide));
    }
    figures.memory = memoryOfPhase(memoryAtStart);
    return figures;
}

// The ratios of a run, and whether they meet the goal: set for a window
// started in the process, or for the whole process (the camera page, set
// beside nsxiv's whole process).
void printRatios(const char* peer, const Times& ofWindow, const Times& ofProcess, double goal, bool goalOfProcess)
{
    if (ofWindow.empty()) {
        std::printf("    ratio to %s: no figure of it\n", peer);
        return;
    }
    const auto judged = [&](const Times& ratios, bool judge) {
        if (judge && goal > 0)
            std::printf("  goal <= %.2f: %s", goal, verdict(median(ratios) <= goal));
        std::printf("\n");
    };
    char what[64];
    std::snprintf(what, sizeof what, "ratio Kalvio / %s", peer);
    std::printf("    %-44s %9.2f %9.2f", what, median(ofWindow), minimum(ofWindow));
    judged(ofWindow, !goalOfProcess);
    if (!ofProcess.empty()) {
        std::printf("    %-44s %9.2f %9.2f", "  the same, Kalvio as a whole process", median(ofProcess),
                    minimum(ofProcess));
        judged(ofProcess, goalOfProcess);
    }
}

// A program's wall time and, beside it, the processor time it used.
void printProgram(const char* what, const Times& wall, const Times& cpu)
{
    std::printf("    %-44s %s", what, figure(wall).c_str());
    if (!wall.empty() && !cpu.empty())
        std::printf("   cpu %7.1f ms, %.2f cores busy", median(cpu), median(cpu) / median(wall));
    std::printf("\n");
}

void printFirstPages(const std::vector<PageSet>& kinds, const std::vector<PageFigures>& all, const Times& windowAlone,
                     int cores)
{
    printHeading("1. First page of 24 cells, a fresh window each run, beside the peers on the same 24 files");
    std::printf("  %-46s %9s %9s\n", "ms", "median", "min");
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        const PageFigures& page = all[k];
        std::printf("  %s\n", kinds[k].what);
        printProgram("Kalvio: window started, first page drawn", page.kalvio, page.kalvioCpu);
        std::printf("    %-44s %9.1f\n", "  the same, warm-up run (not counted)", page.kalvioWarmUp);
        printProgram("  the same, Kalvio as a whole process", page.kalvioProcess, {});
        printProgram("vipsthumbnail, one process for the 24", page.vips, page.vipsCpu);
        if (kinds[k].withNsxiv)
            printProgram("nsxiv -t, until its 24 thumbnails are made", page.nsxiv, page.nsxivCpu);
        // The camera set's goal is nsxiv's: vipsthumbnail's ratio is only shown.
        printRatios("vipsthumbnail", page.toVips, page.processToVips, kinds[k].withNsxiv ? 0 : kinds[k].goal, false);
        if (kinds[k].withNsxiv)
            printRatios("nsxiv", page.toNsxiv, page.processToNsxiv, kinds[k].goal, true);
        std::printf("    %-44s %s  (/%d cores: %.1f)\n", "where it goes: the 24 decodes on one thread",
                    figure(page.decodeAlone).c_str(), cores, median(page.decodeAlone) / cores);
        std::printf("    %s\n", page.memory.c_str());
    }
    std::printf("  %-46s %s\n", "where it goes: a window started on an empty folder", figure(windowAlone).c_str());
}

// The program's first paint on an empty folder, beside a minimal Qt
// program showing a label of the window's size: whole processes on the X
// server, one after the other in alternating order, each in the empty
// folder; the first of each is a warm-up.
struct FirstPaints {
    Times kalvio, minimal, ratios;
};

FirstPaints timeFirstPaints(const QString& emptyFolder, const QString& display, QSize windowSize, int runs)
{
    const QStringList size{QString::number(windowSize.width()), QString::number(windowSize.height())};
    FirstPaints paints;
    for (int run = 0; run <= runs; ++run) {
        std::optional<double> kalvio, minimal;
        const auto timeKalvio = [&] {
            kalvio = untilSaid(QStringLiteral(KALVIO_PROGRAM), {emptyFolder}, emptyFolder, display, emptyFolder,
                               WindowPainted);
        };
        const auto timeMinimal = [&] {
            minimal = untilSaid(QStringLiteral(MINIMAL_WINDOW_PROGRAM), size, emptyFolder, display, emptyFolder,
                                MinimalPainted);
        };
        inAlternatingOrder(run, timeKalvio, timeMinimal);
        if (run == 0 || !kalvio || !minimal)
            continue;
        paints.kalvio.push_back(*kalvio);
        paints.minimal.push_back(*minimal);
        paints.ratios.push_back(*kalvio / *minimal);
    }
    return paints;
}

void printFirstPaints(const FirstPaints& paints, bool onDisplay)
{
    std::printf("  a window started on an empty folder, until its first paint, as whole processes (%s):\n",
                onDisplay ? "on the X server" : "offscreen: no X server");
    std::printf("    %-44s %s\n", "Kalvio", figure(paints.kalvio).c_str());
    std::printf("    %-44s %s\n", "a minimal Qt program: a label the window's size", figure(paints.minimal).c_str());
    if (paints.ratios.empty())
        return;
    std::printf("    %-44s %9.2f %9.2f  goal <= %.2f: %s\n", "ratio Kalvio / minimal Qt program", median(paints.ratios),
                minimum(paints.ratios), FirstPaintRatioGoal, verdict(median(paints.ratios) <= FirstPaintRatioGoal));
}

// ---- 2. Page turn and view step ----

struct StepFigures {
    Times turnAfterIdle, turnAtOnce, viewOpen, viewStep;
};

void timeStepsOnce(const Set& plain, StepFigures& figures)
{
    const QString secondPageFirst = QFileInfo(plain.paths[PageCells]).fileName();
    std::unique_ptr<Kalvio> window = startWindow(plain.folder);
    idle(IdleMs);
    figures.turnAfterIdle.push_back(timeMs([&] {
        window->pageForwardArrowClicked();
        QCoreApplication::processEvents();
    }));
    expectPage(*window, secondPageFirst, QStringLiteral("page 2"));

    figures.viewOpen.push_back(timeMs([&] {
        window->openCell(0);
        QCoreApplication::processEvents();
    }));
    idle(IdleMs);
    figures.viewStep.push_back(timeMs([&] {
        window->stepForward();
        QCoreApplication::processEvents();
    }));
    if (!viewBox(*window)->Visible() || (!window->browsing().viewEntry() || window->browsing().viewCell() != 1))
        fail(QStringLiteral("the enlarged view did not step to the next picture"));
    closeWindow(window);

    // The same turn with no time between: what the idle second saves.
    window = startWindow(plain.folder);
    figures.turnAtOnce.push_back(timeMs([&] {
        window->pageForwardArrowClicked();
        QCoreApplication::processEvents();
    }));
    expectPage(*window, secondPageFirst, QStringLiteral("page 2 at once"));
    closeWindow(window);
}

void printSteps(const StepFigures& steps)
{
    printHeading("2. Page turn and view step, plain set, a fresh window each run");
    std::printf("  %-62s %9s %9s\n", "ms", "median", "min");
    const double turn = median(steps.turnAfterIdle);
    const double step = median(steps.viewStep);
    std::printf("  %-62s %s  goal <= %.0f: %s\n", "page 2 after a second on page 1 (pageForwardArrowClicked)",
                figure(steps.turnAfterIdle).c_str(), PageTurnGoalMs, verdict(turn <= PageTurnGoalMs));
    std::printf("  %-62s %s\n", "page 2 at once, no second on page 1 (for comparison)",
                figure(steps.turnAtOnce).c_str());
    std::printf("  %-62s %s\n", "view opened on cell 0, decoded then (openCell(0))", figure(steps.viewOpen).c_str());
    std::printf("  %-62s %s  goal <= %.0f: %s\n", "next picture after a second in the view (stepForward)",
                figure(steps.viewStep).c_str(), ViewStepGoalMs, verdict(step <= ViewStepGoalMs));
}

// ---- 3. A folder of 100 000 names ----

struct FolderFigures {
    Times many, few, difference, fileList, subFolders;
};

// A fresh window on an empty folder changes to `to`; timed until the first
// page of `to` is drawn.
double folderChangeMs(const QString& emptyFolder, const Set& to)
{
    std::unique_ptr<Kalvio> window = startWindow(emptyFolder);
    const double ms = timeMs([&] {
        window->openPath(to.folder);
        QCoreApplication::processEvents();
    });
    if (fileList(*window)->ListCount() != to.paths.size())
        fail(QStringLiteral("%1 lists %2 names, expected %3")
                 .arg(to.folder)
                 .arg(fileList(*window)->ListCount())
                 .arg(to.paths.size()));
    expectPage(*window, QFileInfo(to.paths[0]).fileName(), to.folder);
    closeWindow(window);
    return ms;
}

// The two parts of a folder change that grow with the folder: the folder
// source listing it (listing, matching, natural order, both lists filled) and,
// within that, the folder list's search for subfolders, each reading the
// whole folder.
void timeListingParts(const Set& many, FolderFigures& figures)
{
    QWidget lists;
    FolderSource source(&lists);
    source.setPattern(CommandLine::ListedPictures);
    figures.fileList.push_back(timeMs([&] {
        source.open(many.folder);
        QCoreApplication::processEvents();
    }));
    figures.subFolders.push_back(timeMs([&] { static_cast<void>(FolderService::SubFolders(many.folder)); }));
}

FolderFigures timeFolderChanges(const QString& emptyFolder, const Set& many, const Set& few, int runs)
{
    FolderFigures figures;
    folderChangeMs(emptyFolder, many); // warm-up: the folder's entries read into the kernel's caches
    for (int run = 0; run < runs; ++run) {
        timeListingParts(many, figures);
        const bool manyFirst = run % 2 == 0;
        const double first = folderChangeMs(emptyFolder, manyFirst ? many : few);
        const double second = folderChangeMs(emptyFolder, manyFirst ? few : many);
        figures.many.push_back(manyFirst ? first : second);
        figures.few.push_back(manyFirst ? second : first);
        figures.difference.push_back(figures.many.back() - figures.few.back());
    }
    return figures;
}

void printFolders(const FolderFigures& folders)
{
    printHeading("3. Folder change (Dir1->setPath) until the first page is drawn, a fresh window each run");
    std::printf("  %-62s %9s %9s\n", "ms", "median", "min");
    std::printf("  %-62s %s\n", "100 000 names: the 24 camera-like pictures, then empty files",
                figure(folders.many).c_str());
    std::printf("  %-62s %s\n", "24 names: the same 24 pictures", figure(folders.few).c_str());
    const double extra = median(folders.difference);
    std::printf("  %-62s %s  goal <= +%.0f: %s\n", "difference within each pair of runs",
                figure(folders.difference).c_str(), ManyNamesGoalMs, verdict(extra <= ManyNamesGoalMs));
    std::printf("  %-62s %s\n", "where it goes: the folder source listing 100 000 (open)",
                figure(folders.fileList).c_str());
    std::printf("  %-62s %s\n", "where it goes: the folder list's subfolder search (SubFolders)",
                figure(folders.subFolders).c_str());
}

// ---- Start ----

// ---- 4. Memory of the first page ----

// A folder of five pages of set's pictures (hard links, each its own name).
QString fivePagesOf(const Set& set)
{
    const QString folder = set.folder + QStringLiteral("-5-pages");
    QDir().mkpath(folder);
    for (int copy = 0; copy < 5; ++copy) {
        for (const QString& path : set.paths.mid(0, PageCells)) {
            const QString link = QStringLiteral("%1/%2-%3").arg(folder).arg(copy).arg(QFileInfo(path).fileName());
            if (!QFileInfo::exists(link))
                ::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData());
        }
    }
    return folder;
}

// Peak resident memory in MiB of a child process drawing the first page of
// folder and turning its pages, with workers decoding.
std::optional<double> pagingPeakMiB(const QString& folder, int workers)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KALVIO_DECODE_WORKERS"), QString::number(workers));
    child.setProcessEnvironment(environment);
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--first-page-memory"), folder});
    if (!child.waitForFinished(ChildLimitMs)) {
        child.kill();
        return std::nullopt;
    }
    bool ok = false;
    const long kib = child.readAllStandardOutput().trimmed().toLong(&ok);
    return ok ? std::optional(double(kib) / 1024) : std::nullopt;
}

void printFirstPageMemory(const Set& progressive, int runs)
{
    printHeading("4. Peak resident memory of a process drawing the progressive first page, decoding ahead for a "
                 "second, then turning five pages fast (goal <= 200 MiB)");
    std::printf("  %-62s %9s %9s\n", "MiB", "median", "max");
    const QString pages = fivePagesOf(progressive);
    for (const int workers : MemoryWorkers) {
        Times peaks;
        for (int run = 0; run < runs; ++run) {
            if (const std::optional<double> peak = pagingPeakMiB(pages, workers))
                peaks.push_back(*peak);
        }
        char what[64];
        std::snprintf(what, sizeof what, "%d decoding workers", workers);
        if (peaks.empty())
            std::printf("  %-62s %9s %9s\n", what, "-", "-");
        else
            std::printf("  %-62s %9.0f %9.0f\n", what, median(peaks), *std::max_element(peaks.begin(), peaks.end()));
    }
}

bool parseOptions(const QApplication& app, Options& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Times Kalvio's first page, page turn, view step and a folder of 100 000 names, beside vipsthumbnail and "
        "nsxiv on the same files."));
    parser.addHelpOption();
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("Timed runs of each figure (default 7)."),
                                  QStringLiteral("N"), QString::number(options.runs));
    const QCommandLineOption folder(QStringLiteral("folder"),
                                    QStringLiteral("Folder that holds the generated pictures, made or reused "
                                                   "(default /tmp/kalvio-bench)."),
                                    QStringLiteral("DIR"), options.folder);
    const QCommandLineOption firstPageMemory(QStringLiteral("first-page-memory"),
                                             QStringLiteral("Draw the first page of DIR, decode ahead for a second, "
                                                            "print the peak resident KiB and end (part 4's child)."),
                                             QStringLiteral("DIR"));
    const QCommandLineOption memoryOnly(QStringLiteral("memory-only"),
                                        QStringLiteral("Measure only part 4, the first page's peak memory."));
    parser.addOption(runs);
    parser.addOption(folder);
    parser.addOption(firstPageMemory);
    parser.addOption(memoryOnly);
    parser.process(app);
    options.firstPageMemory = parser.value(firstPageMemory);
    options.memoryOnly = parser.isSet(memoryOnly);
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "kalvio_bench: unexpected argument %s\n", qPrintable(parser.positionalArguments()[0]));
        return false;
    }
    bool ok = false;
    options.runs = parser.value(runs).toInt(&ok);
    if (!ok || options.runs < 1 || options.runs > 100) {
        std::fprintf(stderr, "kalvio_bench: --runs needs a number from 1 to 100\n");
        return false;
    }
    options.folder = QDir(parser.value(folder)).absolutePath();
    return true;
}

Peers findPeers(const QTemporaryDir& scratch, const PrivateXServer& xServer, int longSide)
{
    Peers peers;
    peers.vips = PeerPrograms::Installed(QStringLiteral("vipsthumbnail"));
    peers.outFolder = scratch.filePath(QStringLiteral("vipsthumbnail"));
    peers.cacheRoot = scratch.filePath(QStringLiteral("nsxiv"));
    peers.longSide = longSide;
    if (!QDir().mkpath(peers.outFolder) || !QDir().mkpath(peers.cacheRoot))
        fail(QStringLiteral("cannot create folders in %1").arg(scratch.path()));
    peers.display = xServer.display();
    if (PeerPrograms::Installed(QStringLiteral("nsxiv")))
        peers.nsxivDisplay = xServer.display();
    if (!peers.vips)
        std::printf("vipsthumbnail is not installed (Debian: libvips-tools): no ratios to it\n");
    if (peers.nsxivDisplay.isEmpty())
        std::printf("nsxiv or Xvfb is missing, or Xvfb did not start: nsxiv is not timed\n");
    return peers;
}

// Every set but the last is drawn with an empty shared cache; the last is
// the plain set again, with the cache a file manager would have filled.
std::vector<PageSet> makePageSets(const QString& root, int longSide, const QString& noCache, const QString& cache)
{
    std::vector<PageSet> kinds{
        {"plain: 12 MP baseline JPEGs, no embedded thumbnail", PictureSets::Plain(root), PlainRatioGoal, false,
         noCache},
        {"camera-like: the same with a 160 x 120 EXIF thumbnail", PictureSets::Camera(root), CameraRatioGoal, true,
         noCache},
        {"progressive: the same saved as progressive JPEGs", PictureSets::Progressive(root), ProgressiveRatioGoal,
         false, noCache},
    };
    kinds.push_back(
        {"plain, with the desktop's shared thumbnails filled", kinds[0].set, SharedCacheRatioGoal, false, cache});
    fillSharedCache(cache, kinds[0].set.paths.mid(0, PageCells));
    if (!PictureSets::DecoderTakesEmbeddedThumbnail(kinds[1].set, longSide))
        std::printf("NOTE: the decoder does not take the camera set's embedded thumbnails for a %d px cell\n",
                    longSide);
    return kinds;
}

void printPictures(const std::vector<PageSet>& kinds)
{
    for (const PageSet& kind : kinds) {
        qint64 bytes = 0;
        for (const QString& path : kind.set.paths.mid(0, PageCells))
            bytes += QFileInfo(path).size();
        std::printf("  %-56s %s, %.1f MB a file on average\n", kind.what, qPrintable(kind.set.folder),
                    double(bytes) / PageCells / 1e6);
    }
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
    if (!options.firstPageMemory.isEmpty())
        return firstPageMemoryOnly(options.firstPageMemory);

    const QString emptyFolder = PictureSets::EmptyFolder(options.folder);
    const int longSide = cellLongSide(emptyFolder);
    const QTemporaryDir noCache, cache;
    const std::vector<PageSet> kinds = makePageSets(options.folder, longSide, noCache.path(), cache.path());
    if (options.memoryOnly) {
        printFirstPageMemory(kinds[2].set, options.runs);
        return 0;
    }
    const Set many = PictureSets::ManyNamesAfter(options.folder, kinds[1].set);
    const Set few = PictureSets::FewNames(options.folder, kinds[1].set);
    QTemporaryDir scratch;
    const PrivateXServer xServer;
    const Peers peers = findPeers(scratch, xServer, longSide);
    const int cores = QThread::idealThreadCount();

    std::printf("Machine: %s, %d cores. %d timed runs of each figure; cells of %d px, pictures of %d x %d:\n",
                Timing::cpuModel().c_str(), cores, options.runs, longSide, PictureSets::PhotoSize.width(),
                PictureSets::PhotoSize.height());
    printPictures(kinds);
    const std::string loadAtStart = Timing::loadAverage();
    const Clock::time_point start = Clock::now();

    std::vector<PageFigures> pages;
    for (const PageSet& kind : kinds)
        pages.push_back(timeFirstPages(kind, peers, options.runs));
    Times windowAlone;
    QSize windowSize;
    for (int run = 0; run < options.runs; ++run) {
        std::unique_ptr<Kalvio> window;
        windowAlone.push_back(timeMs([&] { window = startWindow(emptyFolder); }));
        windowSize = window->size();
        closeWindow(window);
    }
    printFirstPages(kinds, pages, windowAlone, cores);
    printFirstPaints(timeFirstPaints(emptyFolder, peers.display, windowSize, options.runs), !peers.display.isEmpty());
    if (peers.vips) {
        Times vipsStart;
        for (int run = 0; run < options.runs; ++run)
            vipsStart.push_back(PeerPrograms::VipsthumbnailStartMs().value_or(0));
        std::printf("  %-46s %s\n", "where it goes: vipsthumbnail started, nothing to do", figure(vipsStart).c_str());
    }

    long memoryAtStart = startMemoryPhase();
    StepFigures steps;
    for (int run = 0; run < options.runs; ++run)
        timeStepsOnce(kinds[0].set, steps);
    printSteps(steps);
    std::printf("  %s\n", memoryOfPhase(memoryAtStart).c_str());

    memoryAtStart = startMemoryPhase();
    printFolders(timeFolderChanges(emptyFolder, many, few, options.runs));
    std::printf("  %s\n", memoryOfPhase(memoryAtStart).c_str());

    printFirstPageMemory(kinds[2].set, options.runs);

    std::printf("\nTimed part %.0f s; load average %s at its start, %s at its end.\n",
                std::chrono::duration<double>(Clock::now() - start).count(), loadAtStart.c_str(),
                Timing::loadAverage().c_str());
    return 0;
}
