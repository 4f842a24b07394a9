// The full-screen view on a 3840 x 2160 screen of its own, with 24-megapixel
// JPEGs, beside nsxiv in the same run:
//   - from F on a thumbnail to the fitted picture on the screen, against
//     `nsxiv -f PICTURE` from its start to its picture on the screen;
//   - the next picture after an idle second;
//   - 1:1 of a 24 MP picture;
//   - peak resident memory over 1:1 of a picture, 20 quick steps from it (no
//     waiting for each picture) and 200 steps.
// "On the screen" is read back from the X server: the middle pixel of the
// screen turns to the colour of the middle of the picture. Run by hand:
//   kalvio_bench_fullscreen [RUNS]
#include "FullScreenView.h"
#include "Kalvio.h"
#include "OneToOneParts.h"
#include "PageGrid.h"
#include "PrivateXServer.h"
#include "SampleFiles.h"
#include "Timing.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

constexpr QSize ScreenSize(3840, 2160);
constexpr QSize PictureSize(6000, 4000);
constexpr int PictureCount = 12;
constexpr int Steps = 200;
constexpr int WaitMs = 30000;

QColor colourOf(int k)
{
    return QColor::fromHsv(k * 360 / PictureCount, 255, 230);
}

QString pathOf(const QString& folder, int k)
{
    return QStringLiteral("%1/P%2.JPG").arg(folder).arg(k, 2, 10, QLatin1Char('0'));
}

// A photograph with a flat square of its own colour in the middle, so that
// the screen's middle pixel says which picture is shown.
void writePictures(const QString& folder)
{
    for (int k = 0; k < PictureCount; ++k) {
        QImage image = Samples::Photograph(PictureSize, quint32(k + 1));
        QPainter(&image).fillRect(
            QRect(QPoint(0, 0), PictureSize / 5).translated(PictureSize.width() * 2 / 5, PictureSize.height() * 2 / 5),
            colourOf(k));
        QFile file(pathOf(folder, k));
        if (!file.open(QIODevice::WriteOnly) || file.write(Samples::Jpeg(image)) <= 0)
            std::exit(1);
    }
}

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) <= 12 && std::abs(a.green() - b.green()) <= 12 &&
           std::abs(a.blue() - b.blue()) <= 12;
}

QColor screenMiddle()
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, ScreenSize.width() / 2, ScreenSize.height() / 2, 1, 1)
        .toImage()
        .pixelColor(0, 0);
}

// Runs events until the screen's middle shows picture k; the time taken from
// `start`, or nothing after WaitMs.
std::optional<double> untilShown(int k, Timing::Clock::time_point start)
{
    while (!near(screenMiddle(), colourOf(k))) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        if (Timing::Clock::now() - start > std::chrono::milliseconds(WaitMs))
            return std::nullopt;
    }
    return std::chrono::duration<double, std::milli>(Timing::Clock::now() - start).count();
}

void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

std::optional<double> nsxivMs(const QString& folder, int k)
{
    QProcess nsxiv;
    const Timing::Clock::time_point start = Timing::Clock::now();
    nsxiv.start(QStringLiteral("nsxiv"),
                {QStringLiteral("-f"), QStringLiteral("-g"), QStringLiteral("3840x2160+0+0"), pathOf(folder, k)});
    if (!nsxiv.waitForStarted())
        return std::nullopt;
    const std::optional<double> ms = untilShown(k, start);
    nsxiv.kill();
    nsxiv.waitForFinished();
    // The root window is black again before the next run.
    idle(200);
    return ms;
}

struct Figures {
    std::vector<double> kalvio, nsxiv, next, oneToOne, step;
    double peakMiB = 0;
    int failed = 0;
    int oneToOneRefused = 0;
};

void add(std::vector<double>& to, std::optional<double> ms, int& failed)
{
    if (ms)
        to.push_back(*ms);
    else
        ++failed;
}

void printRow(const char* what, const std::vector<double>& ms)
{
    std::printf("  %-58s median %8.1f ms  min %8.1f ms  (%zu runs)\n", what, Timing::median(ms), Timing::minimum(ms),
                ms.size());
}

void timeKalvio(const QString& folder, int runs, Figures& figures)
{
    Kalvio window;
    window.setStartPath(folder, QString());
    window.load();
    while (window.grid().passCell().value_or(-1) != -1)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    idle(1000);
    FullScreenView& view = *window.fullScreenView();
    const QPointF middle(ScreenSize.width() / 2.0, ScreenSize.height() / 2.0);
    for (int run = 0; run < runs; ++run) {
        // A different picture each run: none is decoded for the screen yet.
        const int k = run % (PictureCount - 1);
        Timing::Clock::time_point start = Timing::Clock::now();
        window.openFullScreen(k);
        add(figures.kalvio, untilShown(k, start), figures.failed);
        idle(1000);
        start = Timing::Clock::now();
        view.stepBy(1);
        add(figures.next, untilShown(k + 1, start), figures.failed);
        idle(500);
        // Until the whole picture is decoded and drawn, or the decode is refused
        // (a picture too large for the decoding limits stays at screen size).
        bool reached = false;
        const double oneToOne = Timing::timeMs([&] {
            const Timing::Clock::time_point start = Timing::Clock::now();
            view.toggleOneToOne(middle);
            while (!(reached = view.showsOneToOnePixels()) && !view.infoPanel().reducedTo.isValid() &&
                   Timing::Clock::now() - start < std::chrono::milliseconds(WaitMs))
                QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
            view.repaint();
            screenMiddle(); // the X server has drawn it
        });
        if (reached)
            figures.oneToOne.push_back(oneToOne);
        else
            ++figures.oneToOneRefused;
        view.leave();
        window.closeView();
        idle(500);
    }
    printRow("F on a thumbnail to the fitted picture on screen", figures.kalvio);
    if (!figures.nsxiv.empty())
        std::printf("  %-58s %8.2f (goal <= 1.0)\n", "ratio kalvio / nsxiv (medians)",
                    Timing::median(figures.kalvio) / Timing::median(figures.nsxiv));
    printRow("next picture after an idle second (goal <= 50 ms)", figures.next);
    printRow("1:1 of a 24 MP picture (goal <= 300 ms)", figures.oneToOne);

    window.openFullScreen(0);
    untilShown(0, Timing::Clock::now());
    Timing::resetPeakResident();
    view.toggleOneToOne(middle);
    const Timing::Clock::time_point zoomed = Timing::Clock::now();
    while (!view.showsOneToOnePixels() && !view.infoPanel().reducedTo.isValid() &&
           Timing::Clock::now() - zoomed < std::chrono::milliseconds(WaitMs))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    for (int step = 0; step < 20; ++step) {
        view.stepBy(step < 10 ? 1 : -1);
        idle(20);
    }
    add(figures.step, untilShown(view.entry(), Timing::Clock::now()), figures.failed);
    int at = view.entry(), by = 1;
    for (int step = 0; step < Steps; ++step) {
        if (at + by < 0 || at + by >= PictureCount)
            by = -by;
        at += by;
        const Timing::Clock::time_point start = Timing::Clock::now();
        view.stepBy(by);
        add(figures.step, untilShown(at, start), figures.failed);
    }
    figures.peakMiB = double(Timing::peakResidentKiB()) / 1024;
    view.leave();
}

} // namespace

int main(int argc, char* argv[])
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each row as soon as it is known
    PrivateXServer xServer(ScreenSize);
    if (xServer.display().isEmpty()) {
        std::printf("Xvfb is missing or did not start\n");
        return 1;
    }
    qputenv("DISPLAY", xServer.display().toLatin1());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCALE_FACTOR");
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    std::printf("Full-screen view, %dx%d Xvfb, %d JPEGs of %dx%d; %s, load %s\n", ScreenSize.width(),
                ScreenSize.height(), PictureCount, PictureSize.width(), PictureSize.height(),
                Timing::cpuModel().c_str(), Timing::loadAverage().c_str());
    writePictures(scratch.path());

    Figures figures;
    const bool withNsxiv = !QStandardPaths::findExecutable(QStringLiteral("nsxiv")).isEmpty();
    for (int run = 0; withNsxiv && run < runs; ++run)
        add(figures.nsxiv, nsxivMs(scratch.path(), run % (PictureCount - 1)), figures.failed);
    if (withNsxiv)
        printRow("nsxiv -f PICTURE, start to its picture on screen", figures.nsxiv);
    else
        std::printf("  nsxiv is missing: not timed\n");
    timeKalvio(scratch.path(), runs, figures);

    ShowLargePicturesOneToOne(scratch.path());
    printRow("each of 200 steps, not idle", figures.step);
    std::printf("  %-58s %8.1f MiB (goal <= 400 MiB)\n", "peak resident memory: 1:1, 20 quick steps, 200 steps",
                figures.peakMiB);
    if (figures.oneToOneRefused)
        std::printf("  1:1 of a 24 MP picture: %d times not decoded whole (too large for the decoding limits)\n",
                    figures.oneToOneRefused);
    if (figures.failed)
        std::printf("  %d pictures did not reach the screen within %d s\n", figures.failed, WaitMs / 1000);
    return figures.failed ? 1 : 0;
}
