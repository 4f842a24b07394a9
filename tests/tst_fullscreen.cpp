// The full-screen view on its own: where the picture lies when fitted,
// placed by a zoom mode and zoomed, stepping at the ends, exact pixels at 1:1,
// turning, the slideshow and its order, the information panel's text and the
// overlay.

#include "TestSupport.h"

#include "Browsing.h"
#include "FullScreenView.h"
#include "InfoPanel.h"
#include "NativeName.h"
#include "Overlay.h"
#include "OverlayText.h"
#include "SampleFiles.h"
#include "ShownText.h"
#include "SlideshowDelay.h"
#include "SlideshowOrder.h"
#include "Viewport.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <limits>
#include <mutex>
#include <tuple>

using namespace TestSupport;

namespace {

// The file pixel under screen point `at`.
QPointF filePixelUnder(const Viewport& viewport, QPointF at)
{
    return (at - viewport.pictureRect().topLeft()) / viewport.scale();
}

// Every pixel its own colour: a one-pixel checkerboard in blue, with red and
// green counting the column and row, so that any smoothing or offset shows.
QColor coded(int x, int y)
{
    return QColor(x % 256, y % 256, (x + y) % 2 ? 255 : 0);
}
QImage codedImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixelColor(x, y, coded(x, y));
    return image;
}

// Pixel of the view as painted now.
QColor shownAt(FullScreenView& view, QPoint at)
{
    return view.grab().toImage().pixelColor(at);
}

void turnWheel(FullScreenView& view, QPoint at, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWheelEvent wheel(at, view.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers, Qt::NoScrollPhase,
                      false);
    QCoreApplication::sendEvent(&view, &wheel);
}

void press(FullScreenView& view, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(&view, Qt::Key(key), modifiers);
}

// Runs events until a timer of the slideshow's delay, started now, has fired
// `count` times: a slideshow timer running meanwhile has had as many turns to
// fire, however slow the machine.
bool delaysPass(std::chrono::milliseconds delay, int count)
{
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    int fired = 0;
    QObject::connect(&timer, &QTimer::timeout, [&fired] { ++fired; });
    timer.start(delay);
    return QTest::qWaitFor([&fired, count] { return fired >= count; }, 60000);
}

} // namespace

class FullScreenTest : public QObject {
    Q_OBJECT
private slots:
    void fitsCentredAndNeverEnlarges();
    void zoomStepsThroughFitAndLevels();
    void zoomKeepsThePointUnderTheAnchor();
    void panningStopsAtTheEdges();
    void zoomModesPlaceThePicture();
    void keptZoomCarriesScaleAndPlace();
    void zoomModesAndKeptZoomHoldAcrossSteps();
    void stepsStayAtTheEnds();
    void oneToOneShowsExactPixels();
    void oneToOneOfATurnedCameraPhotoIsExact();
    void aHeldKeyShowsEveryPictureItPasses();
    void turnsOnScreenPerFile();
    void slideshowAdvancesAndStopsAtTheEnd();
    void slideshowWaitsForASlowPicture();
    void slideshowOrderLoopsAndShuffles();
    void slideshowLoopsAndChangesDelayOnScreen();
    void enteringShowsTheWindowsPictureUntilDecoded();
    void startedFullScreenShowsThePictureFirst();
    void decodesAtTheSizeThatFitsTheScreen();
    void animatedGifPlaysUntilSteppedAway();
    void infoPanelShowsTheFilesExif();
    void infoPanelSaysWhatIsKnown();
    void infoPanelNumbersInCzech();
    void infoPanelLeavesOutWhatCannotBe();
    void infoPanelIsLaidOutOnce();
    void infoPanelGrowsWithTheScreen();
    void overlaySaysWhereAndHowMuch();
    void overlayStaysOnAcrossFullScreens();
};

void FullScreenTest::fitsCentredAndNeverEnlarges()
{
    Viewport viewport;
    viewport.setScreen({1920, 1080});
    viewport.setPicture({4000, 3000});
    QCOMPARE(viewport.scale(), 0.36);
    QCOMPARE(viewport.pictureRect(), QRectF(240, 0, 1440, 1080));
    QVERIFY(!viewport.canPan());
    viewport.setPicture({101, 51});
    QCOMPARE(viewport.scale(), 1.0);
    QCOMPARE(viewport.pictureRect(), QRectF(910, 515, 101, 51));

    // Fitted, a picture thinner than a pixel is still a pixel wide or high;
    // zoomed, it keeps its exact size.
    viewport.setPicture({1, 65500});
    QCOMPARE(viewport.pictureRect(), QRectF(960, 0, 1, 1080));
    viewport.setPicture({65500, 1});
    QCOMPARE(viewport.pictureRect(), QRectF(0, 540, 1920, 1));
    viewport.zoomTo(0.25, {960, 540});
    QCOMPARE(viewport.pictureRect().size(), QSizeF(16375, 0.25));
}

void FullScreenTest::zoomStepsThroughFitAndLevels()
{
    Viewport viewport;
    viewport.setScreen({1920, 1080});
    viewport.setPicture({4000, 3000}); // fitted at 0.36
    const QPointF centre(960, 540);
    QList<double> in;
    for (int i = 0; i < 11; ++i) {
        viewport.zoomIn(centre);
        in << viewport.scale();
    }
    QCOMPARE(in, (QList<double>{0.5, 0.67, 1, 1.5, 2, 3, 4, 6, 8, 8, 8}));
    QList<double> out;
    for (int i = 0; i < 11; ++i) {
        viewport.zoomOut(centre);
        out << viewport.scale();
    }
    QCOMPARE(out, (QList<double>{6, 4, 3, 2, 1.5, 1, 0.67, 0.5, 0.36, 0.33, 0.25}));
    viewport.zoomOut(centre);
    QCOMPARE(viewport.scale(), 0.25);
    viewport.zoomIn(centre);
    viewport.zoomIn(centre);
    QVERIFY(viewport.isFitted());

    // A picture eight times the screen: fitted below the smallest level, and
    // + goes from there to it.
    viewport.setPicture({15360, 8640});
    viewport.zoomOut(centre);
    QCOMPARE(viewport.scale(), 0.125);
    viewport.zoomIn(centre);
    QCOMPARE(viewport.scale(), 0.25);
    viewport.zoomOut(centre);
    QVERIFY(viewport.isFitted());
}

void FullScreenTest::zoomKeepsThePointUnderTheAnchor()
{
    Viewport viewport;
    viewport.setScreen({1920, 1080});
    viewport.setPicture({4000, 3000});
    const QPointF anchor(700, 300);
    const QPointF under = filePixelUnder(viewport, anchor);
    viewport.toggleOneToOne(anchor);
    QCOMPARE(viewport.scale(), 1.0);
    const QPointF after = filePixelUnder(viewport, anchor);
    QVERIFY2(std::abs(after.x() - under.x()) <= 1 && std::abs(after.y() - under.y()) <= 1,
             qPrintable(QStringLiteral("%1,%2 not %3,%4").arg(after.x()).arg(after.y()).arg(under.x()).arg(under.y())));
    // At 1:1 the corner lies on whole pixels.
    QCOMPARE(viewport.pictureRect().topLeft(), viewport.pictureRect().topLeft().toPoint().toPointF());

    viewport.zoomIn(QPointF(100, 900));
    const QPointF zoomedUnder = filePixelUnder(viewport, QPointF(100, 900));
    viewport.zoomIn(QPointF(100, 900));
    QVERIFY((filePixelUnder(viewport, QPointF(100, 900)) - zoomedUnder).manhattanLength() <= 1);

    viewport.toggleOneToOne(anchor); // from 2: back to 1:1
    QCOMPARE(viewport.scale(), 1.0);
    viewport.toggleOneToOne(anchor);
    QVERIFY(viewport.isFitted());
    QCOMPARE(viewport.pictureRect(), QRectF(240, 0, 1440, 1080));
}

void FullScreenTest::panningStopsAtTheEdges()
{
    Viewport viewport;
    viewport.setScreen({1920, 1080});
    viewport.setPicture({4000, 3000});
    viewport.toggleOneToOne({0, 0});
    // Zoomed about the corner, the picture's corner stays in the screen's.
    QCOMPARE(viewport.pictureRect().topLeft(), QPointF(0, 0));
    viewport.pan({-100000, -100000});
    QCOMPARE(viewport.pictureRect().bottomRight(), QPointF(1920, 1080));
    viewport.pan({30, 0});
    QCOMPARE(viewport.pictureRect().right(), 1950.0);

    // Narrower than the screen at 1:1: centred across, panned only up and down.
    viewport.setPicture({1000, 3000});
    viewport.toggleOneToOne({0, 0});
    viewport.pan({500, 0});
    QCOMPARE(viewport.pictureRect().left(), 460.0);
}

void FullScreenTest::zoomModesPlaceThePicture()
{
    using Mode = Viewport::Mode;
    Viewport viewport;
    viewport.setScreen({1920, 1080});
    viewport.setMode(Mode::Fill);
    // A panorama covers the screen's height and is cut at the sides, centred, pannable.
    viewport.setPicture({6000, 1000});
    QCOMPARE(viewport.scale(), 1.08);
    QCOMPARE(viewport.pictureRect(), QRectF(-2280, 0, 6480, 1080));
    QVERIFY(viewport.isFitted() && viewport.canPan());
    viewport.pan({100000, 0});
    QCOMPARE(viewport.pictureRect().left(), 0.0);
    // The mode holds for the next picture: a portrait is as wide as the screen.
    viewport.setPicture({3000, 4000});
    QCOMPARE(viewport.pictureRect(), QRectF(0, -740, 1920, 2560));

    viewport.setMode(Mode::FitWidth);
    viewport.setPicture({6000, 1000});
    QCOMPARE(viewport.pictureRect(), QRectF(0, 380, 1920, 320));
    QVERIFY(!viewport.canPan());
    viewport.setMode(Mode::FitHeight);
    QCOMPARE(viewport.pictureRect(), QRectF(-2280, 0, 6480, 1080));
    viewport.setPicture({3000, 4000});
    QCOMPARE(viewport.pictureRect(), QRectF(555, 0, 810, 1080));

    // 1:1 and back lands in the mode, not in plain fitting.
    viewport.toggleOneToOne({0, 0});
    QCOMPARE(viewport.scale(), 1.0);
    viewport.toggleOneToOne({0, 0});
    QVERIFY(viewport.isFitted());
    QCOMPARE(viewport.scale(), 0.27);

    // A small picture: fitted at its own size unless enlarging; the other
    // modes reach the screen's edges whatever its size.
    viewport.setMode(Mode::Fit);
    viewport.setPicture({480, 270});
    QCOMPARE(viewport.pictureRect(), QRectF(720, 405, 480, 270));
    viewport.setEnlargeSmall(true);
    QCOMPARE(viewport.pictureRect(), QRectF(0, 0, 1920, 1080));
    viewport.setPicture({270, 480});
    QCOMPARE(viewport.pictureRect(), QRectF(656, 0, 607.5, 1080));
    viewport.setEnlargeSmall(false);
    viewport.setMode(Mode::FitWidth);
    QCOMPARE(viewport.scale(), 1920 / 270.0);
}

// With the zoom kept, the next picture comes at the same scale with the same
// point (as a share of its size) in the middle of the screen, also past a
// picture that could not be decoded; without, it is placed by the mode.
void FullScreenTest::keptZoomCarriesScaleAndPlace()
{
    Viewport viewport;
    viewport.setScreen({1920, 1080});
    viewport.setKeepZoom(true);
    viewport.setPicture({6000, 4000});
    viewport.toggleOneToOne({0, 0});
    viewport.pan({-2000, -1000});
    const QRectF seen = viewport.pictureRect();
    QCOMPARE(seen, QRectF(-2000, -1000, 6000, 4000));
    viewport.setPicture({6000, 4000});
    QCOMPARE(viewport.pictureRect(), seen);
    viewport.setPicture({});
    viewport.setPicture({6000, 4000});
    QCOMPARE(viewport.pictureRect(), seen);
    // Half the size: the same point of it, at the same scale.
    viewport.setPicture({3000, 2000});
    QCOMPARE(viewport.scale(), 1.0);
    QCOMPARE(filePixelUnder(viewport, {960, 540}), QPointF(1480, 770));

    viewport.setKeepZoom(false);
    viewport.setPicture({6000, 4000});
    QVERIFY(viewport.isFitted());
    QCOMPARE(viewport.pictureRect(), QRectF(150, 0, 1620, 1080));
}

// The keys choose the modes; each holds across steps, and the screen shows
// it: a panorama filling the screen reaches its corners.
void FullScreenTest::zoomModesAndKeptZoomHoldAcrossSteps()
{
    PictureFolder folder;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const QSize wide(screen.width() * 2, screen.height() / 2);
    folder.addPicture(QStringLiteral("a.bmp"), wide, colorFor(0));
    folder.addPicture(QStringLiteral("b.bmp"), wide, colorFor(1));
    folder.addPicture(QStringLiteral("c.bmp"), screen / 4, colorFor(2));
    Pictures::Pipeline pipeline;
    Browsing browsing;
    FullScreenView view(browsing, pipeline);
    browsing.setListing(folder.path(), {QStringLiteral("a.bmp"), QStringLiteral("b.bmp"), QStringLiteral("c.bmp")});
    view.open(0, QGuiApplication::primaryScreen());
    QTRY_VERIFY(view.hasPicture());
    const QPoint corner(2, 2);
    QCOMPARE(shownAt(view, corner), QColor(Qt::black));

    press(view, Qt::Key_V);
    QCOMPARE(view.viewport().scale(), 2.0);
    QVERIFY(near(shownAt(view, corner), colorFor(0), 2));
    press(view, Qt::Key_Space); // Right pans the filled panorama
    QCOMPARE(view.entry(), 1);
    QTRY_VERIFY(view.hasPicture());
    QCOMPARE(view.viewport().mode(), Viewport::Mode::Fill);
    QCOMPARE(view.viewport().scale(), 2.0);
    QVERIFY(near(shownAt(view, corner), colorFor(1), 2));
    press(view, Qt::Key_E);
    QCOMPARE(view.viewport().scale(), 0.5);
    press(view, Qt::Key_E, Qt::ShiftModifier);
    QCOMPARE(view.viewport().scale(), 2.0);

    // The small picture: W fits it at its own size, Shift+W enlarges it to the screen.
    press(view, Qt::Key_Space);
    QTRY_VERIFY(view.hasPicture());
    press(view, Qt::Key_W);
    QCOMPARE(view.viewport().scale(), 1.0);
    QCOMPARE(shownAt(view, corner), QColor(Qt::black));
    const QPoint besideIt = view.rect().center() + QPoint(screen.width() / 8 + 3, 0);
    QCOMPARE(shownAt(view, besideIt), QColor(Qt::black));
    QVERIFY(near(shownAt(view, besideIt - QPoint(6, 0)), colorFor(2), 2));
    press(view, Qt::Key_W, Qt::ShiftModifier);
    QCOMPARE(view.viewport().scale(), 4.0);
    QVERIFY(near(shownAt(view, corner), colorFor(2), 2));
    press(view, Qt::Key_W, Qt::ShiftModifier);
    QCOMPARE(view.viewport().scale(), 1.0);

    // K keeps 1:1 across a step, where the picture would be fitted at 0.5.
    press(view, Qt::Key_K);
    press(view, Qt::Key_Backspace);
    QTRY_VERIFY(view.hasPicture());
    view.toggleOneToOne(QPointF(0, 0));
    const QRectF seen = view.viewport().pictureRect();
    press(view, Qt::Key_Home);
    QTRY_VERIFY(view.hasPicture());
    QCOMPARE(view.entry(), 0);
    QCOMPARE(view.viewport().scale(), 1.0);
    QCOMPARE(view.viewport().pictureRect(), seen);
}

// Five pictures, and more steps past either end than there are pictures,
// but never a multiple of five: stepping that wrapped around would land
// elsewhere.
void FullScreenTest::stepsStayAtTheEnds()
{
    PictureFolder folder;
    QStringList names;
    for (int k = 0; k < 5; ++k)
        names << QFileInfo(folder.addPicture(QStringLiteral("P%1.BMP").arg(k), QSize(64, 48), colorFor(k))).fileName();
    Pictures::Pipeline pipeline;
    Browsing browsing;
    FullScreenView view(browsing, pipeline);
    QSignalSpy closed(&view, &FullScreenView::closed);
    browsing.setListing(folder.path(), names);
    view.open(1, QGuiApplication::primaryScreen());
    QTRY_VERIFY(view.hasPicture());
    const QPoint centre = view.rect().center();
    QVERIFY(near(shownAt(view, centre), colorFor(1), 2));

    for (int key :
         {Qt::Key_Left, Qt::Key_Backspace, Qt::Key_PageUp, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left}) {
        press(view, key);
    }
    QCOMPARE(view.entry(), 0);
    QTRY_VERIFY(view.hasPicture());
    QVERIFY(near(shownAt(view, centre), colorFor(0), 2));
    press(view, Qt::Key_End);
    QCOMPARE(view.entry(), 4);
    for (int key : {Qt::Key_Right, Qt::Key_Space, Qt::Key_PageDown})
        press(view, key);
    QCOMPARE(view.entry(), 4);
    turnWheel(view, centre, 120); // back
    QCOMPARE(view.entry(), 3);
    press(view, Qt::Key_Home);
    QCOMPARE(view.entry(), 0);
    turnWheel(view, centre, -240); // two notches forward
    QCOMPARE(view.entry(), 2);
    turnWheel(view, centre, -720); // six more
    QCOMPARE(view.entry(), 4);

    // Ctrl+wheel zooms instead of stepping (the picture on screen: one
    // landing later would start fitted).
    QTRY_VERIFY(view.hasPicture());
    turnWheel(view, centre, 120, Qt::ControlModifier);
    QCOMPARE(view.entry(), 4);
    QCOMPARE(view.viewport().scale(), 1.5);

    press(view, Qt::Key_Escape);
    QVERIFY(!view.isVisible());
    QCOMPARE(closed.count(), 1);
    QCOMPARE(closed.at(0).at(0).toInt(), 4);
}

void FullScreenTest::oneToOneShowsExactPixels()
{
    PictureFolder folder;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    // Fitted at an uneven scale, so that 1:1 about a point lands between pixels unless rounded.
    const QSize size = screen * 2 + QSize(37, 29);
    const QString path = folder.addImage(QStringLiteral("big.bmp"), codedImage(size));
    Pictures::Pipeline pipeline;
    Browsing browsing;
    FullScreenView view(browsing, pipeline);
    browsing.setListing(folder.path(), {QStringLiteral("big.bmp")});
    view.open(0, QGuiApplication::primaryScreen());
    QTRY_VERIFY(view.hasPicture());
    QVERIFY(view.viewport().scale() < 0.5);
    const QImage fittedAtFirst = view.grab().toImage();

    const QPointF anchor(screen.width() / 4.0, screen.height() / 3.0);
    const QPoint under = filePixelUnder(view.viewport(), anchor).toPoint();
    view.toggleOneToOne(anchor);
    QTRY_VERIFY(view.showsOneToOnePixels());
    const QImage shown = view.grab().toImage();
    const QPoint corner = view.viewport().pictureRect().topLeft().toPoint();
    QVERIFY((corner + under - anchor.toPoint()).manhattanLength() <= 2);
    int wrong = 0;
    for (int y = 0; y < shown.height(); y += 7)
        for (int x = 0; x < shown.width(); x += 3)
            wrong += shown.pixelColor(x, y) != coded(x - corner.x(), y - corner.y());
    QCOMPARE(wrong, 0);
    QCOMPARE(view.infoPanel().reducedTo, QSize()); // decoded whole

    // Enlarged twice, each file pixel is a sharp square of four.
    view.zoomIn(anchor);
    view.zoomIn(anchor);
    QCOMPARE(view.viewport().scale(), 2.0);
    const QImage doubled = view.grab().toImage();
    const QPointF twiceCorner = view.viewport().pictureRect().topLeft();
    for (int y = 1; y < doubled.height(); y += 11)
        for (int x = 0; x < doubled.width(); x += 5)
            wrong += doubled.pixelColor(x, y) != coded(int(std::floor((x + 0.5 - twiceCorner.x()) / 2)),
                                                       int(std::floor((y + 0.5 - twiceCorner.y()) / 2)));
    QCOMPARE(wrong, 0);

    view.toggleOneToOne(anchor);
    QCOMPARE(view.viewport().scale(), 1.0);
    view.toggleOneToOne(anchor);
    QVERIFY(view.viewport().isFitted());
    QCOMPARE(view.grab().toImage(), fittedAtFirst); // smoothed as before
}

// A camera's portrait of 24 megapixels (stored on its side, with an
// orientation tag), a one-pixel checkerboard: too large to be decoded whole
// and turned within one decode's memory, it is still shown pixel for pixel
// at 1:1, wherever it is panned to, from the parts on screen.
void FullScreenTest::oneToOneOfATurnedCameraPhotoIsExact()
{
    const QSize stored(6000, 4000);
    QImage board(stored, QImage::Format_Grayscale8);
    for (int y = 0; y < stored.height(); ++y) {
        uchar* row = board.scanLine(y);
        for (int x = 0; x < stored.width(); ++x)
            row[x] = (x + y) % 2 ? 255 : 0;
    }
    PictureFolder folder;
    folder.addFile(QStringLiteral("portrait.jpg"),
                   Samples::Jpeg(board.convertToFormat(QImage::Format_RGB32),
                                 {.quality = 100, .subsampled = false, .exif = Samples::Exif(6)}));
    board = {};
    Pictures::Pipeline pipeline;
    Browsing browsing;
    FullScreenView view(browsing, pipeline);
    browsing.setListing(folder.path(), {QStringLiteral("portrait.jpg")});
    view.open(0, QGuiApplication::primaryScreen());
    QTRY_VERIFY(view.hasPicture());
    // Upright pixel (x, y) is stored pixel (y, 3999 - x): white where x + y is even.
    const auto wrongPixels = [&view] {
        const QImage shown = view.grab().toImage();
        const QPoint corner = view.viewport().pictureRect().topLeft().toPoint();
        int wrong = 0;
        for (int y = 0; y < shown.height(); y += 5)
            for (int x = 0; x < shown.width(); x += 3)
                wrong += std::abs(qGray(shown.pixel(x, y)) - ((x - corner.x() + y - corner.y()) % 2 ? 0 : 255)) > 8;
        return wrong;
    };
    view.toggleOneToOne(QPointF(view.rect().center()));
    QTRY_VERIFY(view.showsOneToOnePixels());
    QCOMPARE(wrongPixels(), 0);
    QCOMPARE(view.infoPanel().reducedTo, QSize());
    for (int k = 0; k < 40; ++k) {
        press(view, Qt::Key_Right);
        press(view, Qt::Key_Down);
    }
    QCOMPARE(view.viewport().pictureRect().bottomRight(), QPointF(view.width(), view.height()));
    QTRY_VERIFY(view.showsOneToOnePixels());
    QCOMPARE(wrongPixels(), 0);
}

// Every picture's screen decode is held back, as when a held key passes
// pictures faster than they decode: each one stepped to is still shown at
// once from a quick small decode, and sharp once its own lands.
void FullScreenTest::aHeldKeyShowsEveryPictureItPasses()
{
    PictureFolder folder;
    QStringList names;
    for (int k = 0; k < 5; ++k) {
        names << QStringLiteral("P%1.JPG").arg(k);
        QImage picture(QSize(1600, 1200), QImage::Format_RGB32);
        picture.fill(colorFor(k));
        folder.addFile(names.last(), Samples::Jpeg(picture));
    }
    HeldDecode screens({}, Pictures::Purpose::Screen);
    Pictures::Pipeline pipeline(screens.options());
    const auto releaseBeforeThePipelineGoes = qScopeGuard([&screens] { screens.release(); });
    Browsing browsing;
    FullScreenView view(browsing, pipeline);
    browsing.setListing(folder.path(), names);
    view.open(0, QGuiApplication::primaryScreen());
    for (int k = 0; k < 5; ++k) {
        if (k > 0)
            press(view, Qt::Key_Space);
        QTRY_VERIFY(view.showsPreview() && near(shownAt(view, view.rect().center()), colorFor(k), 6));
    }
    screens.release();
    QTRY_VERIFY(view.hasPicture());
    QVERIFY(near(shownAt(view, view.rect().center()), colorFor(4), 6));
}

void FullScreenTest::turnsOnScreenPerFile()
{
    PictureFolder folder;
    QImage halves(QSize(80, 40), QImage::Format_RGB32);
    halves.fill(Qt::blue);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            halves.setPixelColor(x, y, Qt::red);
    folder.addImage(QStringLiteral("a.bmp"), halves);
    folder.addPicture(QStringLiteral("b.bmp"), QSize(80, 40), Qt::green);
    Pictures::Pipeline pipeline;
    Browsing browsing;
    FullScreenView view(browsing, pipeline);
    browsing.setListing(folder.path(), {QStringLiteral("a.bmp"), QStringLiteral("b.bmp")});
    view.open(0, QGuiApplication::primaryScreen());
    QTRY_VERIFY(view.hasPicture());
    const QPoint centre = view.rect().center();
    const QPoint left = centre - QPoint(20, 0), right = centre + QPoint(20, 0);
    const QPoint top = centre - QPoint(0, 20), bottom = centre + QPoint(0, 20);
    QVERIFY(near(shownAt(view, left), Qt::red, 2) && near(shownAt(view, right), Qt::blue, 2));

    press(view, Qt::Key_R); // clockwise: the left half goes up
    QCOMPARE(view.quarterTurns(), 1);
    QCOMPARE(view.viewport().pictureRect().size(), QSizeF(40, 80));
    QVERIFY(near(shownAt(view, top), Qt::red, 2) && near(shownAt(view, bottom), Qt::blue, 2));

    // Turned back twice, by Shift+R and <: the left half goes down.
    press(view, Qt::Key_R, Qt::ShiftModifier);
    press(view, Qt::Key_Less);
    QCOMPARE(view.quarterTurns(), 3);
    QVERIFY(near(shownAt(view, bottom), Qt::red, 2) && near(shownAt(view, top), Qt::blue, 2));

    // The turn belongs to the file: the next picture is upright, and coming back finds it turned.
    press(view, Qt::Key_Right);
    QCOMPARE(view.quarterTurns(), 0);
    press(view, Qt::Key_Greater);
    press(view, Qt::Key_Left);
    QTRY_VERIFY(view.hasPicture());
    QCOMPARE(view.quarterTurns(), 3);
    QVERIFY(near(shownAt(view, bottom), Qt::red, 2));
    press(view, Qt::Key_Right);
    QCOMPARE(view.quarterTurns(), 1);
}

void FullScreenTest::slideshowAdvancesAndStopsAtTheEnd()
{
    PictureFolder folder;
    QStringList names;
    for (int k = 0; k < 4; ++k)
        names << QFileInfo(folder.addPicture(QStringLiteral("S%1.BMP").arg(k), QSize(64, 48), colorFor(k))).fileName();
    Pictures::Pipeline pipeline;
    Browsing browsing;
    FullScreenView view(browsing, pipeline);
    view.setSlideshowDelay(std::chrono::milliseconds(60));
    browsing.setListing(folder.path(), names);
    view.open(1, QGuiApplication::primaryScreen());
    QTRY_VERIFY(view.hasPicture());
    press(view, Qt::Key_S);
    QVERIFY(view.slideshowRunning());
    QTRY_COMPARE(view.entry(), 3);
    QTRY_VERIFY(!view.slideshowRunning());
    QVERIFY(delaysPass(std::chrono::milliseconds(60), 5));
    QCOMPARE(view.entry(), 3);

    // S again stops it before it moves on.
    press(view, Qt::Key_Home);
    view.setSlideshowDelay(std::chrono::milliseconds(300));
    press(view, Qt::Key_S);
    press(view, Qt::Key_S);
    QVERIFY(delaysPass(std::chrono::milliseconds(300), 2));
    QCOMPARE(view.entry(), 0);
}

// Picture 2 is decoded far more slowly than the delay: the slideshow waits
// on it, still showing picture 1, however many delays pass, and goes on from
// it once it is shown.
void FullScreenTest::slideshowWaitsForASlowPicture()
{
    PictureFolder folder;
    QStringList names;
    for (int k = 0; k < 5; ++k)
        names << QFileInfo(folder.addPicture(QStringLiteral("S%1.BMP").arg(k), QSize(64, 48), colorFor(k))).fileName();
    HeldDecode slow(NativeName::Encode(folder.at(names[2])));
    Pictures::Pipeline pipeline(slow.options());
    const auto releaseBeforeThePipelineGoes = qScopeGuard([&slow] { slow.release(); });
    Browsing browsing;
    FullScreenView view(browsing, pipeline);
    const std::chrono::milliseconds delay(20);
    view.setSlideshowDelay(delay);
    browsing.setListing(folder.path(), names);
    view.open(1, QGuiApplication::primaryScreen());
    QTRY_VERIFY(view.hasPicture());
    press(view, Qt::Key_S);
    QTRY_VERIFY(view.entry() >= 2);
    QVERIFY(delaysPass(delay, 20));
    QCOMPARE(view.entry(), 2);
    QVERIFY(!view.hasPicture() && view.slideshowRunning());
    QVERIFY(near(shownAt(view, view.rect().center()), colorFor(1), 2));
    slow.release();
    QTRY_COMPARE(view.entry(), 4);
    QTRY_VERIFY(!view.slideshowRunning());
    QVERIFY(view.hasPicture());
}

void FullScreenTest::slideshowOrderLoopsAndShuffles()
{
    SlideshowOrder order(7);
    QCOMPARE(order.advance(1, 3), std::optional<int>(2));
    QCOMPARE(order.advance(2, 3), std::nullopt);
    order.setLoop(true);
    QCOMPARE(order.peek(2, 3), std::optional<int>(0));
    QCOMPARE(order.advance(2, 3), std::optional<int>(0));

    // Random: each entry once a round, the round starting at the picture
    // shown; looping, the next round is another shuffle that does not show
    // the last picture twice in a row.
    const int count = 9;
    order.setRandom(true);
    order.start(4, count);
    QList<int> shown{4};
    for (int k = 1; k < 5 * count; ++k) {
        const std::optional<int> peeked = order.peek(shown.back(), count);
        const std::optional<int> next = order.advance(shown.back(), count);
        QVERIFY(next && *next >= 0 && *next < count);
        QVERIFY(!peeked || peeked == next);
        shown << *next;
    }
    QList<QList<int>> rounds;
    for (int round = 0; round < 5; ++round) {
        QList<int> sorted = shown.mid(round * count, count);
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
        rounds << shown.mid(round * count, count);
        if (round > 0)
            QVERIFY(shown[round * count] != shown[round * count - 1]);
    }
    QVERIFY(rounds[1] != rounds[2] || rounds[2] != rounds[3]);
    QVERIFY(shown.mid(0, count) != (QList<int>{4, 5, 6, 7, 8, 0, 1, 2, 3}));
    order.setLoop(false);
    order.start(0, count);
    for (int k = 1; k < count; ++k)
        QVERIFY(order.advance(0, count));
    QCOMPARE(order.advance(0, count), std::nullopt);

    using std::chrono::milliseconds, std::chrono::seconds;
    QCOMPARE(SlideshowDelay::longer(seconds(4)), seconds(5));
    QCOMPARE(SlideshowDelay::longer(milliseconds(2500)), seconds(3));
    QCOMPARE(SlideshowDelay::longer(seconds(60)), seconds(60));
    QCOMPARE(SlideshowDelay::shorter(seconds(7)), seconds(5));
    QCOMPARE(SlideshowDelay::shorter(milliseconds(2500)), seconds(2));
    QCOMPARE(SlideshowDelay::shorter(seconds(1)), seconds(1));
    QCOMPARE(SlideshowDelay::shorter(milliseconds(300)), milliseconds(300));
    QCOMPARE(SlideshowDelay::text(milliseconds(300)), QStringLiteral("0,3 s"));
    QCOMPARE(SlideshowDelay::text(seconds(15)), QStringLiteral("15 s"));
}

// L makes the slideshow go on from the first picture after the last; ] and
// [ step the delay.
void FullScreenTest::slideshowLoopsAndChangesDelayOnScreen()
{
    PictureFolder folder;
    QStringList names;
    for (int k = 0; k < 3; ++k)
        names << QFileInfo(folder.addPicture(QStringLiteral("S%1.BMP").arg(k), QSize(64, 48), colorFor(k))).fileName();
    Pictures::Pipeline pipeline;
    Browsing browsing;
    FullScreenView view(browsing, pipeline);
    view.setSlideshowDelay(std::chrono::milliseconds(30));
    browsing.setListing(folder.path(), names);
    view.open(1, QGuiApplication::primaryScreen());
    QTRY_VERIFY(view.hasPicture());
    press(view, Qt::Key_L);
    press(view, Qt::Key_S);
    QTRY_COMPARE(view.entry(), 2);
    QTRY_COMPARE(view.entry(), 0);
    QVERIFY(view.slideshowRunning());
    QTRY_VERIFY(view.hasPicture());
    QVERIFY(near(shownAt(view, view.rect().center()), colorFor(0), 2));
    QVERIFY(view.overlayText().line().endsWith(QStringLiteral("prezentace 0 s, dokola")));
    press(view, Qt::Key_S);
    QVERIFY(!view.slideshowRunning());

    press(view, Qt::Key_BracketRight);
    QCOMPARE(view.slideshowDelay(), std::chrono::seconds(1));
    press(view, Qt::Key_BracketRight);
    press(view, Qt::Key_BracketRight);
    QCOMPARE(view.slideshowDelay(), std::chrono::seconds(3));
    press(view, Qt::Key_BracketLeft);
    QCOMPARE(view.slideshowDelay(), std::chrono::seconds(2));
}

// F while the picture's decode for the screen is held: the thumbnail the
// window has is drawn at once where the decoded picture will lie (a 2:1
// picture twice the screen's width: the screen's width, centred between black
// bands), not a black screen; the decoded picture follows when it lands.
void FullScreenTest::enteringShowsTheWindowsPictureUntilDecoded()
{
    PictureFolder folder;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const QColor colour = colorFor(3);
    const QString path =
        folder.addPicture(QStringLiteral("WIDE.BMP"), QSize(screen.width() * 2, screen.width()), colour);
    HeldDecode slow(NativeName::Encode(path), Pictures::Purpose::Screen);
    const std::unique_ptr<Kalvio> w = startIn(folder.path(), slow.options());
    const auto releaseBeforeTheWindowGoes = qScopeGuard([&slow] { slow.release(); });
    QTRY_VERIFY(near(cellCentre(*w, 0), colour));
    w->openFullScreen(0);
    FullScreenView& view = *w->fullScreenView();
    QVERIFY(view.isVisible() && !view.hasPicture());
    const QImage shown = view.grab().toImage();
    const int middle = shown.height() / 2;
    QVERIFY(near(shown.pixelColor(2, middle), colour) && near(shown.pixelColor(shown.width() - 3, middle), colour));
    const int band = (shown.height() - shown.width() / 2) / 2;
    QVERIFY(band > 4);
    QCOMPARE(shown.pixelColor(shown.width() / 2, band - 3), QColor(Qt::black));
    QVERIFY(near(shown.pixelColor(shown.width() / 2, band + 3), colour));
    slow.release();
    QTRY_VERIFY(view.hasPicture());
    QVERIFY(near(shownAt(view, QPoint(2, middle)), colour));
}

// Started full screen on picture 3 of 30, as main() starts it: the full
// screen shows with its picture, never black. With the decode held, neither
// window shows at first; after a while both show without it, and it follows. The page behind is drawn only once the
// full screen is left, on the picture's page, the picture enlarged with the keys.
void FullScreenTest::startedFullScreenShowsThePictureFirst()
{
    PictureFolder folder;
    addNumberedPictures(folder, QString(), 30);
    const QString picture = folder.at(numberedName(3));
    const auto start = [&folder](Pictures::Pipeline::Options options, const QString& picture) {
        auto w = std::make_unique<Kalvio>(std::move(options), picture);
        w->setStartPath(folder.path(), numberedName(3));
        w->setFullScreenStart(true);
        w->load();
        return w;
    };
    {
        const std::unique_ptr<Kalvio> w = start({}, picture);
        FullScreenView& full = *w->fullScreenView();
        QTRY_VERIFY(full.isVisible());
        QVERIFY(full.hasPicture() && w->isVisible());
        QCOMPARE(full.entry(), 3);
    }
    HeldDecode slow(NativeName::Encode(picture), Pictures::Purpose::Screen);
    const std::unique_ptr<Kalvio> w = start(slow.options(), picture);
    const auto releaseBeforeTheWindowGoes = qScopeGuard([&slow] { slow.release(); });
    FullScreenView& full = *w->fullScreenView();
    QVERIFY(!w->isVisible() && !full.isVisible());
    QTRY_VERIFY(full.isVisible());
    QVERIFY(!full.hasPicture() && w->isVisible());
    slow.release();
    QTRY_VERIFY(full.hasPicture());
    QVERIFY(!w->grid().passCell().has_value() && cellIsBlank(*w, 3));
    full.act(KeyActions::Action::Next);
    full.leave();
    QTRY_COMPARE(w->grid().passCell(), -1);
    QVERIFY(w->browsing().viewOpen());
    QCOMPARE(w->browsing().viewEntry(), 4);
    QVERIFY(near(cellCentre(*w, 3), colorFor(3)));
    QCOMPARE(w->focusWidget(), viewBox(*w));
}

// Every picture is asked for at the screen's box and the decode fits it, so
// that nothing of a file is read on the window's thread to learn its size:
// three 3:2 pictures fitted to 3840 x 2160 (3240 x 2160) fit the screen
// cache where three at 3840 x 2560 do not.
void FullScreenTest::decodesAtTheSizeThatFitsTheScreen()
{
    const QSize uhd(3840, 2160);
    QCOMPARE(Pictures::DecodeSize({6000, 4000}, uhd), QSize(3240, 2160));
    QCOMPARE(Pictures::DecodeSize({4000, 6000}, uhd), QSize(1440, 2160));
    QCOMPARE(Pictures::DecodeSize({8000, 2000}, uhd), QSize(3840, 960));
    QCOMPARE(Pictures::DecodeSize({3840, 2160}, uhd), uhd);
    QCOMPARE(Pictures::DecodeSize({1, 65500}, uhd), QSize(1, 2160));

    PictureFolder folder;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const QSize tall(screen.width(), screen.height() * 3);
    const std::string tallPath = NativeName::Encode(folder.addPicture(QStringLiteral("tall.bmp"), tall, Qt::darkCyan));
    folder.addPicture(QStringLiteral("small.bmp"), QSize(40, 30), Qt::darkRed);
    std::mutex asked;
    QList<QSize> boxes;
    Pictures::Pipeline::Options options;
    options.decode = [&](const std::string& path, QSize box, Pictures::Purpose purpose) {
        const std::lock_guard lock(asked);
        if (purpose == Pictures::Purpose::Screen) // not the quick previews
            boxes << box;
        return Pictures::Decode(path, box, purpose);
    };
    Pictures::Pipeline pipeline(options);
    Browsing browsing;
    FullScreenView view(browsing, pipeline);
    browsing.setListing(folder.path(), {QStringLiteral("tall.bmp"), QStringLiteral("small.bmp")});
    view.open(0, QGuiApplication::primaryScreen());
    QTRY_VERIFY(view.hasPicture());
    QTRY_COMPARE(boxes.size(), 2); // and the next picture, ahead
    const QSize box = (QSizeF(view.size()) * view.devicePixelRatioF()).toSize();
    {
        const std::lock_guard lock(asked);
        QCOMPARE(boxes, (QList<QSize>{box, box}));
    }
    const std::optional<Pictures::Result> shown = pipeline.tryGet({{tallPath}, box, Pictures::Purpose::Screen});
    QVERIFY(shown && shown->decoded);
    QCOMPARE(shown->decoded.picture->image.size(), Pictures::DecodeSize(tall, box));
}

// A photograph whose EXIF block says how it was taken: I shows it, in Czech,
// read from the file itself by the decode that showed the picture.
// An animated GIF plays in place of its still picture, frame after frame in
// order; stepping away stops it at once, and so does leaving.
void FullScreenTest::animatedGifPlaysUntilSteppedAway()
{
    PictureFolder folder;
    const auto solid = [](QColor colour) {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    };
    const QColor red(220, 30, 30), blue(30, 40, 210);
    folder.addFile(QStringLiteral("A.GIF"),
                   Samples::Gif({64, 48}, {{.image = solid(red), .delay = 2}, {.image = solid(blue), .delay = 2}}));
    // B is decoded only when let go: until then A stays on screen, its still picture.
    HeldDecode slow(NativeName::Encode(folder.addPicture(QStringLiteral("B.BMP"), QSize(64, 48), colorFor(1))));
    Pictures::Pipeline pipeline(slow.options());
    const auto releaseBeforeThePipelineGoes = qScopeGuard([&slow] { slow.release(); });
    Browsing browsing;
    FullScreenView view(browsing, pipeline);
    browsing.setListing(folder.path(), {QStringLiteral("A.GIF"), QStringLiteral("B.BMP")});
    QList<QColor> seen; // what the screen shows as each frame comes
    connect(&view.animation(), &Animation::frameChanged, &view, [&] { seen << shownAt(view, view.rect().center()); });

    view.open(0, QGuiApplication::primaryScreen());
    QTRY_VERIFY(view.hasPicture());
    QTRY_VERIFY_WITH_TIMEOUT(seen.size() >= 3, 60000);
    for (int k = 0; k < 3; ++k)
        QVERIFY2(near(seen[k], k % 2 ? blue : red, 2), qPrintable(seen[k].name()));

    press(view, Qt::Key_Right);
    QVERIFY(!view.animation().isRunning() && !view.animation().hasFrame());
    QVERIFY(near(shownAt(view, view.rect().center()), red, 2));
    slow.release();
    QTRY_VERIFY(view.hasPicture());
    QVERIFY(near(shownAt(view, view.rect().center()), colorFor(1), 2));
    QTRY_VERIFY(!view.animation().isRunning()); // a BMP is no animation

    seen.clear();
    press(view, Qt::Key_Left);
    QTRY_VERIFY_WITH_TIMEOUT(seen.size() >= 2, 60000);
    press(view, Qt::Key_Escape);
    QVERIFY(!view.animation().isRunning() && !view.animation().hasFrame());
}

void FullScreenTest::infoPanelShowsTheFilesExif()
{
    PictureFolder folder;
    Samples::ExifInfo taken;
    taken.make = "FUJIFILM";
    taken.model = "X-T4";
    taken.lens = "XF16-55mmF2.8 R LM WR";
    taken.dateTaken = "2025:08:14 06:31:02";
    taken.exposure[0] = 1, taken.exposure[1] = 1000;
    taken.fNumber[0] = 56, taken.fNumber[1] = 10;
    taken.iso = 640;
    taken.focalLength[0] = 23, taken.focalLength[1] = 1;
    const QByteArray jpeg =
        Samples::Jpeg(Samples::Photograph(QSize(300, 200), 7), {.exif = Samples::ExifWithInfo(taken, false)});
    QFile file(folder.at(QStringLiteral("DSCF0042.JPG")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(jpeg) == jpeg.size());
    file.close();
    Pictures::Pipeline pipeline;
    Browsing browsing;
    FullScreenView view(browsing, pipeline);
    browsing.setListing(folder.path(), {QStringLiteral("DSCF0042.JPG")});
    view.open(0, QGuiApplication::primaryScreen());
    QTRY_VERIFY(view.hasPicture());
    const QRect corner(0, 0, 200, 100); // black beside the small picture, unless the panel is there
    const auto lit = [&] {
        const QImage shown = view.grab(corner).toImage();
        int count = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                count += shown.pixelColor(x, y) != Qt::black;
        return count;
    };
    QCOMPARE(lit(), 0);
    // What the panel says came with the picture's decode: the file is not read again.
    QVERIFY(file.remove());
    press(view, Qt::Key_I);
    QVERIFY(view.infoShown());
    QCOMPARE(view.infoPanel().lines(),
             (QStringList{
                 QStringLiteral("DSCF0042.JPG"),
                 QStringLiteral("1 / 1"),
                 QStringLiteral("Rozměry: 300 × 200 px"),
                 QStringLiteral("Velikost souboru: %1").arg(InfoPanelText::fileSizeText(jpeg.size())),
                 QStringLiteral("Pořízeno: 14. 8. 2025 06:31:02"),
                 QStringLiteral("Fotoaparát: FUJIFILM X-T4"),
                 QStringLiteral("Objektiv: XF16-55mmF2.8 R LM WR"),
                 QStringLiteral("Expozice: 1/1000 s"),
                 QStringLiteral("Clona: f/5,6"),
                 QStringLiteral("ISO: 640"),
                 QStringLiteral("Ohnisková vzdálenost: 23 mm"),
             }));
    QVERIFY(lit() > 100); // drawn: white text on the panel
    press(view, Qt::Key_I);
    QCOMPARE(lit(), 0);
}

void FullScreenTest::infoPanelSaysWhatIsKnown()
{
    InfoPanelText panel;
    panel.name = QStringLiteral("IMG_0012.JPG");
    panel.position = 12;
    panel.count = 340;
    panel.pixelSize = QSize(6000, 4000);
    panel.fileBytes = 7'340'032;
    panel.info.dateTaken = QStringLiteral("2026:03:07 14:05:09");
    panel.info.make = QStringLiteral("Canon");
    panel.info.model = QStringLiteral("Canon EOS R6");
    panel.info.lens = QStringLiteral("RF24-105mm F4 L IS USM");
    panel.info.exposureSeconds = 1.0 / 250;
    panel.info.fNumber = 2.8;
    panel.info.iso = 400;
    panel.info.focalLengthMm = 50;
    QCOMPARE(panel.lines(), (QStringList{
                                QStringLiteral("IMG_0012.JPG"),
                                QStringLiteral("12 / 340"),
                                QStringLiteral("Rozměry: 6000 × 4000 px"),
                                QStringLiteral("Velikost souboru: 7,3 MB"),
                                QStringLiteral("Pořízeno: 7. 3. 2026 14:05:09"),
                                QStringLiteral("Fotoaparát: Canon EOS R6"),
                                QStringLiteral("Objektiv: RF24-105mm F4 L IS USM"),
                                QStringLiteral("Expozice: 1/250 s"),
                                QStringLiteral("Clona: f/2,8"),
                                QStringLiteral("ISO: 400"),
                                QStringLiteral("Ohnisková vzdálenost: 50 mm"),
                            }));

    // Only what is there; a maker the model does not repeat is put in front.
    InfoPanelText sparse;
    sparse.name = QStringLiteral("x.bmp");
    sparse.position = 1;
    sparse.count = 1;
    sparse.info.make = QStringLiteral("NIKON CORPORATION");
    sparse.info.model = QStringLiteral("D750");
    sparse.info.iso = 0; // broken: left out
    sparse.reducedTo = QSize(8000, 6000);
    QCOMPARE(sparse.lines(),
             (QStringList{QStringLiteral("x.bmp"), QStringLiteral("1 / 1"),
                          QStringLiteral("Fotoaparát: NIKON CORPORATION D750"),
                          QStringLiteral("Příliš velký pro plnou velikost: zobrazen v 8000 × 6000 px")}));

    // A model that begins with the maker's brand word says the camera alone.
    QCOMPARE(InfoPanelText::cameraText(QStringLiteral("NIKON CORPORATION"), QStringLiteral("NIKON D2H")),
             QStringLiteral("NIKON D2H"));
    QCOMPARE(InfoPanelText::cameraText(QStringLiteral("EASTMAN KODAK COMPANY"), QStringLiteral("KODAK DC290 ZOOM")),
             QStringLiteral("KODAK DC290 ZOOM"));
    QCOMPARE(InfoPanelText::cameraText(QStringLiteral("OLYMPUS IMAGING CORP.  "), QStringLiteral("E-M5")),
             QStringLiteral("OLYMPUS IMAGING CORP. E-M5"));
    QCOMPARE(InfoPanelText::cameraText(QStringLiteral("Apple"), QStringLiteral("iPhone 12 Pro")),
             QStringLiteral("Apple iPhone 12 Pro"));
    QCOMPARE(InfoPanelText::cameraText(QString(), QStringLiteral("PENTAX K10D      ")), QStringLiteral("PENTAX K10D"));
}

void FullScreenTest::infoPanelNumbersInCzech()
{
    QCOMPARE(InfoPanelText::fileSizeText(999), QStringLiteral("999 B"));
    QCOMPARE(InfoPanelText::fileSizeText(45'678), QStringLiteral("45,7 kB"));
    QCOMPARE(InfoPanelText::fileSizeText(12'000'000), QStringLiteral("12 MB"));
    // Under a second, a clean fraction as the camera shows it, however it is
    // stored; what is no clean fraction in tenths.
    QCOMPARE(InfoPanelText::exposureText(1.0 / 8000), QStringLiteral("1/8000 s"));
    QCOMPARE(InfoPanelText::exposureText(10.0 / 30), QStringLiteral("1/3 s"));
    QCOMPARE(InfoPanelText::exposureText(0.3333), QStringLiteral("1/3 s"));
    QCOMPARE(InfoPanelText::exposureText(0.5), QStringLiteral("1/2 s"));
    QCOMPARE(InfoPanelText::exposureText(0.3), QStringLiteral("0,3 s"));
    QCOMPARE(InfoPanelText::exposureText(0.4), QStringLiteral("0,4 s"));
    QCOMPARE(InfoPanelText::exposureText(4.0 / 5), QStringLiteral("0,8 s"));
    QCOMPARE(InfoPanelText::exposureText(2.5), QStringLiteral("2,5 s"));
    QCOMPARE(InfoPanelText::exposureText(30), QStringLiteral("30 s"));
    QCOMPARE(InfoPanelText::dateText(QStringLiteral("2026:12:31 23:59:59")), QStringLiteral("31. 12. 2026 23:59:59"));
    QCOMPARE(InfoPanelText::dateText(QStringLiteral("    :  :     :  :  ")), QStringLiteral("    :  :     :  :  "));
}

// Numbers no camera takes a picture with are left out, not shown as "f/0";
// the camera's texts and the name are shown for what they are.
void FullScreenTest::infoPanelLeavesOutWhatCannotBe()
{
    InfoPanelText panel;
    panel.name = QStringLiteral("abc\u202Egnp.jpg");
    panel.position = 1;
    panel.count = 2;
    panel.info.dateTaken = QStringLiteral("0000:00:00 00:00:00");
    panel.info.make = QStringLiteral("Canon");
    panel.info.model = QStringLiteral("\u202ECanon EOS R5");
    panel.info.lens = QStringLiteral("RF") + QString(13'000, QChar(0x0301));
    panel.info.fNumber = 2.3e-10;
    panel.info.exposureSeconds = std::numeric_limits<double>::quiet_NaN();
    panel.info.iso = 2'000'000'000;
    panel.info.focalLengthMm = std::numeric_limits<double>::infinity();
    QCOMPARE(panel.lines(),
             (QStringList{QStringLiteral("abc\uFFFDgnp.jpg"), QStringLiteral("1 / 2"),
                          QStringLiteral("Fotoaparát: Canon \uFFFDCanon EOS R5"),
                          QStringLiteral("Objektiv: RF") + QString(ShownText::MarksPerCharacter, QChar(0x0301)) +
                              QStringLiteral("\uFFFD")}));
    // The ends of the ranges are shown; just past them, nothing.
    panel.info = {};
    panel.info.fNumber = 0.5;
    panel.info.exposureSeconds = 1e-6;
    panel.info.iso = 1;
    panel.info.focalLengthMm = 10'000;
    QCOMPARE(panel.lines().mid(2),
             (QStringList{QStringLiteral("Expozice: 1/1000000 s"), QStringLiteral("Clona: f/0,5"),
                          QStringLiteral("ISO: 1"), QStringLiteral("Ohnisková vzdálenost: 10000 mm")}));
    panel.info.fNumber = 1000.1;
    panel.info.exposureSeconds = -1.0 / 250;
    panel.info.iso = 10'000'001;
    panel.info.focalLengthMm = 0.49;
    QCOMPARE(panel.lines().size(), 2);
}

// The panel is rendered once per text, not at every repaint, and a line too
// wide for the screen is shortened in the middle to fit it.
void FullScreenTest::infoPanelIsLaidOutOnce()
{
    QImage screen(800, 600, QImage::Format_RGB32);
    screen.fill(Qt::black);
    InfoPanel panel;
    const QStringList lines{QStringLiteral("IMG_0012.JPG"), QStringLiteral("12 / 340")};
    const auto paint = [&](const QStringList& text, QRect area) {
        QPainter painter(&screen);
        panel.paint(painter, text, area);
        return panel.image().cacheKey();
    };
    const qint64 first = paint(lines, screen.rect());
    QVERIFY(!panel.image().isNull());
    QCOMPARE(paint(lines, screen.rect()), first);
    QVERIFY(screen.pixelColor(panel.image().width() / 2, panel.image().height() / 2) != Qt::black);
    const qint64 stepped = paint({lines[0], QStringLiteral("13 / 340")}, screen.rect());
    QVERIFY(stepped != first);
    QCOMPARE(paint({lines[0], QStringLiteral("13 / 340")}, screen.rect()), stepped);

    const QString wide = QStringLiteral("Objektiv: ") + QString(5000, u'W') + QStringLiteral(".jpg");
    for (const int width : {800, 400}) {
        paint({wide}, QRect(0, 0, width, 600));
        QVERIFY2(panel.image().width() > width / 2 && panel.image().width() < width,
                 QByteArray::number(panel.image().width()));
        const QString shown = panel.shownLines().value(0);
        QVERIFY2(shown.startsWith(QStringLiteral("Objektiv: W")) && shown.endsWith(QStringLiteral("W.jpg")) &&
                     shown.contains(QChar(0x2026)),
                 qPrintable(shown));
    }
}

// At 3840 × 2160 logical pixels the panel is twice as large as at 1920 × 1080,
// so that it is read as easily; on a screen whose pixel ratio enlarges its
// text already it is not enlarged twice. A name of 249 characters is shortened
// to stay on the screen at either size.
void FullScreenTest::infoPanelGrowsWithTheScreen()
{
    const QColor grey(128, 128, 128);
    const QStringList lines{QString(245, u'n') + QStringLiteral(".jpg"), QStringLiteral("12 / 340")};
    const auto panelOn = [&](QSize pixels, qreal ratio) {
        QImage screen(pixels, QImage::Format_RGB32);
        screen.setDevicePixelRatio(ratio);
        screen.fill(grey);
        InfoPanel panel;
        QPainter painter(&screen);
        panel.paint(painter, lines, QRect(QPoint(0, 0), (QSizeF(pixels) / ratio).toSize()));
        painter.end();
        const QString name = panel.shownLines().value(0);
        // Darkened by the panel up to near the right edge, which it leaves free.
        const int middle = panel.image().height() / 2;
        const bool fits = screen.pixelColor(pixels.width() - 1, middle) == grey &&
                          screen.pixelColor(pixels.width() * 9 / 10, middle) != grey;
        const bool elided = name.startsWith(QStringLiteral("nnn")) && name.endsWith(QStringLiteral("n.jpg")) &&
                            name.contains(QChar(0x2026)) && name.size() < lines[0].size();
        return std::tuple(panel.image().height(), fits, elided);
    };
    const auto [fullHd, fullHdFits, fullHdElided] = panelOn(QSize(1920, 1080), 1);
    const auto [fourK, fourKFits, fourKElided] = panelOn(QSize(3840, 2160), 1);
    const auto [highDpi, highDpiFits, highDpiElided] = panelOn(QSize(3840, 2160), 2);
    QVERIFY2(fourK > fullHd * 1.8 && fourK < fullHd * 2.2, qPrintable(QStringLiteral("%1 %2").arg(fullHd).arg(fourK)));
    QCOMPARE(highDpi, fullHd * 2); // device pixels: the same size on the screen
    QVERIFY(fullHdFits && fullHdElided && fourKFits && fourKElided && highDpiFits && highDpiElided);
}

void FullScreenTest::overlaySaysWhereAndHowMuch()
{
    OverlayText text;
    text.name = QStringLiteral("IMG_0012.JPG");
    text.position = 12;
    text.count = 340;
    text.scale = 0.36;
    QCOMPARE(text.line(), QStringLiteral("IMG_0012.JPG  ·  12 / 340  ·  36 %"));
    text.name = QStringLiteral("abc\u202Egnp.jpg");
    text.scale = 0.045;
    text.mode = Viewport::Mode::Fill;
    text.keepZoom = true;
    text.slideshowRunning = true;
    text.delay = std::chrono::seconds(4);
    text.loop = text.random = true;
    QCOMPARE(text.line(), QStringLiteral("abc\uFFFDgnp.jpg  ·  12 / 340  ·  4,5 %  ·  vyplnit obrazovku  ·  pevné "
                                         "zvětšení  ·  prezentace 4 s, dokola, náhodně"));
    QCOMPARE(OverlayText::zoomText(1), QStringLiteral("100 %"));
    QCOMPARE(OverlayText::zoomText(0.0996), QStringLiteral("10 %"));

    // Too wide for the screen: the name gives way in the middle, the rest stays whole.
    text = {};
    text.name = QString(3000, u'W') + QStringLiteral("end.jpg");
    text.position = 1;
    text.count = 2;
    text.scale = 1;
    QImage screen(800, 600, QImage::Format_RGB32);
    screen.fill(Qt::black);
    Overlay overlay;
    {
        QPainter painter(&screen);
        overlay.paint(painter, text, screen.rect());
    }
    const QString shown = overlay.shownLine();
    QVERIFY2(shown.startsWith(QStringLiteral("WWW")) && shown.contains(QChar(0x2026)) &&
                 shown.endsWith(QStringLiteral("end.jpg  ·  1 / 2  ·  100 %")),
             qPrintable(shown));
    QVERIFY(overlay.placed().right() < 800 && overlay.placed().bottom() < 600 && overlay.placed().left() > 0);
    QVERIFY(overlay.placed().width() > 400);
}

// O shows the overlay over the picture, and it stays on when the full screen
// is left and entered again; off, a change of the slideshow shows it for a
// moment with the slideshow's state.
void FullScreenTest::overlayStaysOnAcrossFullScreens()
{
    PictureFolder folder;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    folder.addPicture(QStringLiteral("white.bmp"), screen, Qt::white);
    Pictures::Pipeline pipeline;
    Browsing browsing;
    FullScreenView view(browsing, pipeline);
    browsing.setListing(folder.path(), {QStringLiteral("white.bmp")});
    view.open(0, QGuiApplication::primaryScreen());
    QTRY_VERIFY(view.hasPicture());
    const QRect bottomLeft(0, view.height() * 3 / 4, view.width() / 4, view.height() / 4);
    // Dark pixels there: the box, and its text drawn white on it.
    const auto dark = [&] {
        const QImage shown = view.grab(bottomLeft).toImage();
        int count = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                count += shown.pixelColor(x, y).lightness() < 128;
        return count;
    };
    QCOMPARE(dark(), 0);
    press(view, Qt::Key_O);
    QVERIFY(view.overlayShown());
    QCOMPARE(view.overlayText().line(), QStringLiteral("white.bmp  ·  1 / 1  ·  100 %"));
    const int box = dark();
    QVERIFY(box > 100);

    view.leave();
    view.open(0, QGuiApplication::primaryScreen());
    QTRY_VERIFY(view.hasPicture());
    QVERIFY(view.overlayShown());
    QCOMPARE(dark(), box);
    press(view, Qt::Key_O);
    QCOMPARE(dark(), 0);

    press(view, Qt::Key_N);
    QVERIFY(view.overlayOnScreen() && !view.overlayShown());
    QVERIFY(view.overlayText().line().endsWith(QStringLiteral("prezentace vypnuta, 4 s, náhodně")));
    QVERIFY(dark() > 100);
}

QTEST_MAIN(FullScreenTest)
#include "tst_fullscreen.moc"
