#include "OneToOneParts.h"

#include "Browsing.h"
#include "FullScreenView.h"
#include "Orientation.h"
#include "Pipeline.h"
#include "SampleFiles.h"
#include "Timing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <functional>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int WaitMs = 30000;

struct Large {
    QString name;
    QSize stored;
    int orientation;
};

const Large LargePictures[] = {
    {QStringLiteral("portrait-24mp.jpg"), {6000, 4000}, 6},
    {QStringLiteral("landscape-45mp.jpg"), {8256, 5504}, 1},
    {QStringLiteral("square-100mp.jpg"), {10000, 10000}, 1},
};

// Stored pixel (x, y) is white where x + y is odd.
void writeCheckerboard(const QString& path, const Large& large)
{
    QImage board(large.stored, QImage::Format_RGB32);
    for (int y = 0; y < board.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(board.scanLine(y));
        for (int x = 0; x < board.width(); ++x)
            row[x] = (x + y) % 2 ? 0xFFFFFFFF : 0xFF000000;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(
            Samples::Jpeg(board, {.quality = 100, .subsampled = false, .exif = Samples::Exif(large.orientation)})) <= 0)
        std::exit(1);
}

// Screen pixels that are not the file's own pixel under them. The screen
// is read back in bands, so that the copies read count little in the peak.
long wrongPixels(const FullScreenView& view, const Large& large)
{
    constexpr int BandRows = 64;
    const QSize size = QGuiApplication::primaryScreen()->geometry().size();
    const QPoint corner = view.viewport().pictureRect().topLeft().toPoint();
    const Pictures::Orientation orientation(large.orientation);
    long wrong = 0;
    for (int top = 0; top < size.height(); top += BandRows) {
        const int rows = std::min(BandRows, size.height() - top);
        const QImage band = QGuiApplication::primaryScreen()->grabWindow(0, 0, top, size.width(), rows).toImage();
        for (int y = 0; y < band.height(); ++y) {
            for (int x = 0; x < band.width(); ++x) {
                const QRect stored =
                    orientation.storedArea(QRect(x - corner.x(), top + y - corner.y(), 1, 1), large.stored);
                const int expected = (stored.x() + stored.y()) % 2 ? 255 : 0;
                wrong += std::abs(qGray(band.pixel(x, y)) - expected) > 16;
            }
        }
    }
    return wrong;
}

bool waitFor(const std::function<bool()>& done)
{
    const Timing::Clock::time_point start = Timing::Clock::now();
    while (!done()) {
        if (Timing::Clock::now() - start > std::chrono::milliseconds(WaitMs))
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }
    return true;
}

// Pans with the arrow keys' actions as far as the picture goes.
void panToCorner(FullScreenView& view, bool right, bool down)
{
    for (int k = 0; k < 200; ++k) {
        view.act(right ? KeyActions::Action::RightOrNext : KeyActions::Action::LeftOrPrevious);
        view.act(down ? KeyActions::Action::PanDown : KeyActions::Action::PanUp);
    }
}

} // namespace

void ShowLargePicturesOneToOne(const QString& folder)
{
    if (!QDir().mkpath(folder))
        std::exit(1);
    QStringList names;
    for (const Large& large : LargePictures) {
        writeCheckerboard(folder + u'/' + large.name, large);
        names << large.name;
    }
    Pictures::Pipeline pipeline;
    Browsing browsing;
    FullScreenView view(browsing, pipeline);
    browsing.setListing(folder, names);
    const QPointF middle(QGuiApplication::primaryScreen()->geometry().center());
    Timing::resetPeakResident();
    long allWrong = 0;
    for (int k = 0; k < int(names.size()); ++k) {
        const Large& large = LargePictures[k];
        view.open(k, QGuiApplication::primaryScreen());
        if (!waitFor([&] { return view.hasPicture(); }))
            std::exit(1);
        const Timing::Clock::time_point start = Timing::Clock::now();
        view.toggleOneToOne(middle);
        const bool sharp = waitFor([&] { return view.showsOneToOnePixels(); });
        view.repaint();
        const double ms = std::chrono::duration<double, std::milli>(Timing::Clock::now() - start).count();
        long wrong = sharp ? wrongPixels(view, large) : -1;
        for (const auto& [right, down] : {std::pair{false, false}, {true, false}, {true, true}, {false, true}}) {
            panToCorner(view, right, down);
            if (!waitFor([&] { return view.showsOneToOnePixels(); })) {
                wrong = -1;
                break;
            }
            view.repaint();
            wrong += wrongPixels(view, large);
        }
        const QSize upright = Pictures::Orientation(large.orientation).upright(large.stored);
        std::printf("  1:1 of %5d x %5d (orientation %d), cold          %8.1f ms  wrong pixels in 5 screens: %ld\n",
                    upright.width(), upright.height(), large.orientation, ms, wrong);
        allWrong += wrong < 0 ? 1 : wrong;
        view.leave();
    }
    std::printf("  %-58s %8.1f MiB (goal <= 300 MiB)\n", "peak resident memory over these three pictures",
                double(Timing::peakResidentKiB()) / 1024);
    if (allWrong)
        std::printf("  NOT EXACT: some pixels at 1:1 were not the file's own\n");
}
