// The full-screen view on a 3840 x 2160 screen of its own, with a folder of
// 32 JPEGs of 24 megapixels, beside nsxiv (and geeqie, where installed) in the
// same run:
//   - `kalvio --fullscreen PICTURE`, the whole process from its start to the
//     picture on the screen, against `nsxiv -f PICTURE` and `geeqie -f`;
//   - 1:1 of a 24 MP picture by its key (Kalvio's 1, nsxiv's =, geeqie's Z),
//     after an idle second and cold (the key as soon as the picture shows),
//     each program a whole process driven by xdotool alike;
//   - 1:1 of a 24 MP camera portrait, a 45 MP and a 100 MP picture, each a
//     one-pixel checkerboard: the time, every pixel of five screens checked,
//     and the peak resident memory (OneToOneParts.h);
//   - from F on a thumbnail to the first frame of the picture on screen (and
//     whether a black frame came first), and to the sharp picture;
//   - a held key: 20 presses at 25 Hz, the pictures shown on the way;
//   - the next picture after an idle second;
//   - peak resident memory over 1:1 of a picture, 20 quick steps from it (no
//     waiting for each picture) and 200 steps.
// Everything is read back from the X server's own pixels: a point of the
// picture's flat square says which picture is shown, and a one-pixel
// checkerboard in the picture's middle, smoothed to grey when fitted, shows
// as a checkerboard at the screen's middle only at 1:1. Run by hand:
//   kalvio_bench_fullscreen [RUNS]
#include "FullScreenView.h"
#include "Kalvio.h"
#include "OneToOneParts.h"
#include "PageGrid.h"
#include "PrivateXServer.h"
#include "SampleFiles.h"
#include "Timing.h"

#include <QApplication>
#include <QByteArray>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>

namespace {

constexpr QSize ScreenSize(3840, 2160);
constexpr QSize PictureSize(6000, 4000);
constexpr int PictureCount = 32;
constexpr int Steps = 200;
constexpr int WaitMs = 30000;
constexpr int HeldPresses = 20;
constexpr int PressEveryMs = 40; // 25 Hz, a keyboard's repeat
constexpr QPoint Middle(ScreenSize.width() / 2, ScreenSize.height() / 2);
// Inside the picture's flat square, fitted and at 1:1, clear of the checkerboard.
constexpr QPoint Probe = Middle + QPoint(160, 120);
constexpr int BoardSide = 64;

QColor colourOf(int k)
{
    return QColor::fromHsv(k * 360 / PictureCount, 255, 230);
}

QString pathOf(const QString& folder, int k)
{
    return QStringLiteral("%1/P%2.JPG").arg(folder).arg(k, 2, 10, QLatin1Char('0'));
}

// A photograph with a flat square of its own colour in the middle, and a
// one-pixel black and white checkerboard in the middle of that.
void writePictures(const QString& folder)
{
    for (int k = 0; k < PictureCount; ++k) {
        QImage image = Samples::Photograph(PictureSize, quint32(k + 1));
        const QPoint centre(PictureSize.width() / 2, PictureSize.height() / 2);
        QPainter(&image).fillRect(
            QRect(QPoint(0, 0), PictureSize / 5).translated(PictureSize.width() * 2 / 5, PictureSize.height() * 2 / 5),
            colourOf(k));
        for (int y = -BoardSide / 2; y < BoardSide / 2; ++y)
            for (int x = -BoardSide / 2; x < BoardSide / 2; ++x)
                image.setPixel(centre + QPoint(x, y), (x + y) % 2 ? 0xffffffff : 0xff000000);
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

QImage screenRect(QRect rect)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height()).toImage();
}

QColor probe()
{
    return screenRect(QRect(Probe, QSize(1, 1))).pixelColor(0, 0);
}

// The picture the probe shows, or -1.
int pictureShown()
{
    const QColor seen = probe();
    for (int k = 0; k < PictureCount; ++k) {
        if (near(seen, colourOf(k)))
            return k;
    }
    return -1;
}

// The checkerboard pixel for pixel at the screen's middle: each of 16 pixels
// of a row far lighter or darker than the next.
bool oneToOneShown()
{
    const QImage row = screenRect(QRect(Middle - QPoint(8, 0), QSize(17, 1)));
    for (int x = 0; x < 16; ++x) {
        if (std::abs(qGray(row.pixel(x, 0)) - qGray(row.pixel(x + 1, 0))) < 128)
            return false;
    }
    return true;
}

double msSince(Timing::Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Timing::Clock::now() - start).count();
}

// Runs events until `shown` holds; the time taken from `start`, or nothing
// after WaitMs.
template <typename Condition>
std::optional<double> until(Condition shown, Timing::Clock::time_point start)
{
    while (!shown()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        if (Timing::Clock::now() - start > std::chrono::milliseconds(WaitMs))
            return std::nullopt;
    }
    return msSince(start);
}

std::optional<double> untilShown(int k, Timing::Clock::time_point start)
{
    return until([k] { return pictureShown() == k; }, start);
}

void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A program that shows one picture full screen, and the key that shows it 1:1.
struct Peer {
    const char* name;
    const char* startedAs;
    QString program;
    QStringList (*arguments)(const QString& picture);
    QString oneToOneKey; // as xdotool names it
};

QStringList kalvioArguments(const QString& picture)
{
    return {QStringLiteral("--fullscreen"), picture};
}
QStringList nsxivArguments(const QString& picture)
{
    return {QStringLiteral("-f"), QStringLiteral("-g"), QStringLiteral("3840x2160+0+0"), picture};
}
QStringList geeqieArguments(const QString& picture)
{
    return {QStringLiteral("-f"), picture};
}

struct PeerFigures {
    std::vector<double> start, oneToOneIdle, oneToOneCold;
    int failed = 0;
};

void add(std::vector<double>& to, std::optional<double> ms, int& failed)
{
    if (ms)
        to.push_back(*ms);
    else
        ++failed;
}

// One key pressed in whatever window has the keyboard, as a user would.
void pressKey(const QString& key)
{
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), key});
}

// The peer started on picture k in the folder, timed to its picture on the
// screen; then, after `idleMs`, its 1:1 key, timed to the checkerboard pixel
// for pixel (the key's own process start included, alike for every peer).
void runPeer(const Peer& peer, const QString& folder, int k, int idleMs, PeerFigures& figures)
{
    QCursor::setPos(Middle);
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // geeqie keeps its settings, history and remote-control socket there, and
    // a peer already running would take the picture over from a new one.
    const QTemporaryDir home;
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
    process.setProcessEnvironment(environment);
    const Timing::Clock::time_point start = Timing::Clock::now();
    process.start(peer.program, peer.arguments(pathOf(folder, k)));
    if (process.waitForStarted()) {
        const std::optional<double> shown = untilShown(k, start);
        add(figures.start, shown, figures.failed);
        if (shown) {
            idle(idleMs);
            const Timing::Clock::time_point pressed = Timing::Clock::now();
            pressKey(peer.oneToOneKey);
            add(idleMs > 0 ? figures.oneToOneIdle : figures.oneToOneCold, until(oneToOneShown, pressed),
                figures.failed);
        }
    } else {
        ++figures.failed;
    }
    process.kill();
    process.waitForFinished();
    // The root window is bare again before the next run.
    idle(300);
}

struct Figures {
    std::vector<double> firstFrame, sharp, next, step, heldRate, heldLast;
    int blackFrames = 0;
    double peakMiB = 0;
    int failed = 0;
};

void printRow(const char* what, const std::vector<double>& ms)
{
    std::printf("  %-62s median %8.1f ms  min %8.1f ms  (%zu runs)\n", what, Timing::median(ms), Timing::minimum(ms),
                ms.size());
}

void printRatio(const char* what, const std::vector<double>& ours, const std::vector<double>& theirs,
                const char* goal = "")
{
    if (!ours.empty() && !theirs.empty())
        std::printf("  %-62s %8.2f %s\n", what, Timing::median(ours) / Timing::median(theirs), goal);
}

// F on a thumbnail: the first frame that shows the picture at the probe, and
// whether a black one came before it; then the sharp picture, decoded for the
// screen, drawn and on the X server.
void timeEntering(Kalvio& window, int k, Figures& figures)
{
    FullScreenView& view = *window.fullScreenView();
    bool black = false;
    const Timing::Clock::time_point start = Timing::Clock::now();
    window.openFullScreen(k);
    add(figures.firstFrame,
        until(
            [&black, k] {
                const QColor seen = probe();
                black = black || seen.lightness() < 8;
                return near(seen, colourOf(k));
            },
            start),
        figures.failed);
    figures.blackFrames += black ? 1 : 0;
    add(figures.sharp,
        until(
            [&view] {
                if (!view.hasPicture())
                    return false;
                view.repaint();
                probe(); // the X server has drawn it
                return true;
            },
            start),
        figures.failed);
}

// A key held on the picture `from`: 20 presses at 25 Hz, each a repeat but the
// first. The pictures the screen showed on the way, per 200 ms of holding, and
// the time from the last press to the last picture.
void timeHeldKey(FullScreenView& view, int from, Figures& figures)
{
    std::set<int> seen;
    const Timing::Clock::time_point start = Timing::Clock::now();
    for (int press = 0; press < HeldPresses; ++press) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), press > 0);
        QCoreApplication::sendEvent(&view, &down);
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), press + 1 < HeldPresses);
        QCoreApplication::sendEvent(&view, &up);
        const Timing::Clock::time_point next = start + std::chrono::milliseconds(PressEveryMs * (press + 1));
        while (Timing::Clock::now() < next) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            if (const int k = pictureShown(); k > from && k < from + HeldPresses)
                seen.insert(k);
        }
    }
    figures.heldRate.push_back(double(seen.size()) * 200 / (HeldPresses * PressEveryMs));
    add(figures.heldLast, untilShown(from + HeldPresses, Timing::Clock::now()), figures.failed);
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
    for (int run = 0; run < runs; ++run) {
        // A different picture each run: none is decoded for the screen yet.
        const int k = run % (PictureCount - HeldPresses - 2);
        timeEntering(window, k, figures);
        idle(1000);
        const Timing::Clock::time_point start = Timing::Clock::now();
        view.stepBy(1);
        add(figures.next, untilShown(k + 1, start), figures.failed);
        idle(1000);
        timeHeldKey(view, k + 1, figures);
        view.leave();
        window.closeView();
        idle(500);
    }

    window.openFullScreen(0);
    untilShown(0, Timing::Clock::now());
    Timing::resetPeakResident();
    view.toggleOneToOne(Middle);
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

    const QString kalvio = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../kalvio"));
    const bool withXdotool = !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
    const std::vector<Peer> peers{
        {"kalvio", "kalvio --fullscreen PICTURE", QFileInfo(kalvio).canonicalFilePath(), kalvioArguments,
         QStringLiteral("1")},
        {"nsxiv", "nsxiv -f PICTURE", QStandardPaths::findExecutable(QStringLiteral("nsxiv")), nsxivArguments,
         QStringLiteral("equal")},
        {"geeqie", "geeqie -f PICTURE", QStandardPaths::findExecutable(QStringLiteral("geeqie")), geeqieArguments,
         QStringLiteral("Z")},
    };
    std::vector<PeerFigures> peerFigures(peers.size());
    // Each round runs every peer once, in turn, so that a busy moment of the
    // machine weighs on all of them alike.
    for (int run = 0; withXdotool && run < runs; ++run) {
        for (std::size_t p = 0; p < peers.size(); ++p) {
            if (peers[p].program.isEmpty())
                continue;
            const int k = (2 * run) % PictureCount;
            runPeer(peers[p], scratch.path(), k, 1000, peerFigures[p]);
            runPeer(peers[p], scratch.path(), k + 1, 0, peerFigures[p]);
        }
    }
    int failed = 0;
    for (std::size_t p = 0; p < peers.size(); ++p) {
        if (peers[p].program.isEmpty() || !withXdotool) {
            std::printf("  %s is missing: not timed\n", peers[p].program.isEmpty() ? peers[p].name : "xdotool");
            continue;
        }
        const PeerFigures& f = peerFigures[p];
        const QByteArray name(peers[p].name);
        printRow(QByteArray(peers[p].startedAs) + ", start to its picture on screen", f.start);
        printRow(name + " 1:1 key after an idle second, to 1:1 on screen", f.oneToOneIdle);
        printRow(name + " 1:1 key at once, to 1:1 on screen", f.oneToOneCold);
        failed += f.failed;
    }
    for (std::size_t p = 1; p < peers.size(); ++p) {
        if (peers[p].program.isEmpty() || !withXdotool)
            continue;
        const PeerFigures& ours = peerFigures[0];
        const PeerFigures& theirs = peerFigures[p];
        const QByteArray name(peers[p].name);
        printRatio("ratio kalvio / " + name + ": start to the picture (medians)", ours.start, theirs.start,
                   "(goal <= 0.8)");
        printRatio("ratio kalvio / " + name + ": 1:1 after an idle second", ours.oneToOneIdle, theirs.oneToOneIdle);
        printRatio("ratio kalvio / " + name + ": 1:1 at once", ours.oneToOneCold, theirs.oneToOneCold);
    }

    // In process, before the window's own caches have been there.
    ShowLargePicturesOneToOne(scratch.path() + QStringLiteral("/large"));
    Figures figures;
    timeKalvio(scratch.path(), runs, figures);
    printRow("F on a thumbnail to the first frame of the picture", figures.firstFrame);
    std::printf("  %-62s %d of %zu\n", "  of them with a black frame first (goal: none)", figures.blackFrames,
                figures.firstFrame.size());
    printRow("F on a thumbnail to the sharp picture on screen", figures.sharp);
    printRow("next picture after an idle second (goal <= 50 ms)", figures.next);
    std::printf("  %-62s median %8.2f      min %8.2f     (%zu runs)\n",
                "held key, 20 presses at 25 Hz: pictures shown per 200 ms (goal >= 1)",
                Timing::median(figures.heldRate), Timing::minimum(figures.heldRate), figures.heldRate.size());
    printRow("held key: last press to the last picture", figures.heldLast);
    printRow("each of 200 steps, not idle", figures.step);
    std::printf("  %-62s %8.1f MiB (goal <= 400 MiB)\n", "peak resident memory: 1:1, 20 quick steps, 200 steps",
                figures.peakMiB);
    failed += figures.failed;
    if (failed)
        std::printf("  %d pictures did not reach the screen within %d s\n", failed, WaitMs / 1000);
    return failed ? 1 : 0;
}
