// The enlarged view: the picture in its box, the caption line, the dimmed grid, stepping, closing, broken files.

#include "TestSupport.h"

#include "Colors.h"
#include "EventYield.h"
#include "FolderService.h"
#include "SampleFiles.h"

#include <QPainter>
#include <QtTest>

using namespace TestSupport;

namespace {

constexpr int Normal = RGB(128, 128, 128);
constexpr int Dimmed = RGB(180, 180, 180);
// Colours apart for any two of up to 363 pictures (colorFor nearly repeats
// every 23, the distance across a page edge).
const auto shade = [](int k) { return QColor(30 + 20 * (k % 11), 30 + 20 * (k / 11 % 11), 30 + 20 * (k / 121)); };
const auto nameOf = [](int k) { return QStringLiteral("P%1.BMP").arg(k, 3, 10, QLatin1Char('0')); };
const auto shown = [](Kalvio& w) { return viewBox(w)->PixelAt(4000_tw, 3950_tw); };
const auto isClosed = [](Kalvio& w) { return !viewBox(w)->isVisible() && gridHasLook(w, Normal, true); };
const auto isOpenAt = [](Kalvio& w, int cell) {
    return viewBox(w)->isVisible() && gridHasLook(w, Dimmed, false) && w.browsing().viewEntry() &&
           w.browsing().viewCell() == cell;
};

// Pictures P<first>.BMP to P<last>.BMP, 32 x 24 pixels in their shades.
void fill(const PictureFolder& folder, const QString& sub, int first, int last)
{
    for (int k = first; k <= last; ++k)
        folder.addPicture(sub + nameOf(k), QSize(32, 24), shade(k));
}

// The view shows picture k from cell `cell`; page `page` is drawn whole.
void checkShows(Kalvio& w, int page, int cell, int k)
{
    QVERIFY(isOpenAt(w, cell));
    QVERIFY2(near(shown(w), shade(k), 2), qPrintable(shown(w).name()));
    QVERIFY(viewBox(w)->lastPrintedLine().endsWith(u'/' + nameOf(k) + QStringLiteral(" --> 32 x 24 pixel")));
    const int count = fileList(w)->ListCount();
    QVERIFY(w.grid().passCell() == -1 &&
            pageCounter(w)->Caption() == QStringLiteral("%1 z %2").arg(page + 1).arg((count + 23) / 24));
    for (int i = 0, first = 24 * page; i < Kalvio::CellCount; ++i) {
        QCOMPARE(frame(w, i)->Caption(), first + i < count ? nameOf(first + i) : QString());
        QVERIFY(first + i >= count || near(cellCentre(w, i), shade(first + i), 2));
    }
}

} // namespace

class ViewTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { EventYield::setHook(nullptr); }
    void drawsPictureScaledAndCentred_data();
    void drawsPictureScaledAndCentred();
    void opensOnlyForCellsWithPictures();
    void stepsAndCloses();
    void stepDuringAPass_data();
    void stepDuringAPass();
    void stepsAfterAnIdleMomentNeverWait();
    void brokenFilesAndHugeOnes();
};

void ViewTest::drawsPictureScaledAndCentred_data()
{
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<QRectF>("drawn"); // twips
    QTest::newRow("landscape") << QSize(1600, 1200) << QRectF(0, 950, 8000, 6000);
    // The longer side spans the box's width also when it is the vertical one,
    // so portrait and square pictures lose 50 twips at top and bottom.
    QTest::newRow("portrait") << QSize(1200, 1600) << QRectF(1000, -50, 6000, 8000);
    QTest::newRow("square") << QSize(1200, 1200) << QRectF(0, -50, 8000, 8000);
}

void ViewTest::drawsPictureScaledAndCentred()
{
    QFETCH(QSize, pixels);
    QFETCH(QRectF, drawn);
    // The top 80 rows are white: the band's lower edge shows where the
    // picture is cut and how it is scaled vertically.
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(colorFor(3));
    QPainter(&image).fillRect(0, 0, pixels.width(), 80, Qt::white);
    PictureFolder folder;
    folder.addImage(QStringLiteral("View 1.JPG"), image);
    auto w = startIn(folder.path());
    w->openCell(0);
    // Decoded for the view: as wide as the view (533 pixels), never at the
    // file's size, nor at a cell's and stretched.
    const QSize decoded = w->view().shownPicture()->image.size();
    QVERIFY2(std::max(decoded.width(), decoded.height()) <= 534 && std::max(decoded.width(), decoded.height()) >= 533,
             qPrintable(QStringLiteral("%1 x %2").arg(decoded.width()).arg(decoded.height())));
    // Samples 20 twips (more than a pixel) to either side of each edge; an
    // edge outside the box lets the picture reach the box's own edge.
    const QColor colour = colorFor(3), background(128, 128, 128), white(Qt::white);
    auto is = [&](double x, double y, QColor c) {
        return near(viewBox(*w)->PixelAt(Twips(x), Twips(y)), c, c == background ? 2 : 16);
    };
    const double midX = drawn.center().x(), midY = std::min(drawn.center().y(), 7000.0);
    const double left = std::max(drawn.left(), 0.0), top = std::max(drawn.top(), 0.0);
    QVERIFY(left == 0 || (is(left - 20, midY, background) && is(drawn.right() + 20, midY, background)));
    QVERIFY(top == 0 || (is(midX, top - 20, background) && is(midX, drawn.bottom() + 20, background)));
    QVERIFY(is(left + 20, midY, colour) && is(std::min(drawn.right(), 8000.0) - 20, midY, colour));
    QVERIFY(is(midX, std::min(drawn.bottom(), 7600.0) - 20, colour));
    const double bandEdge = drawn.top() + drawn.height() * 80 / pixels.height();
    QVERIFY(is(midX, top + 20, white) && is(midX, bandEdge - 40, white) && is(midX, bandEdge + 40, colour));
    // One "/" between folder and name, and the size that the file declares,
    // printed in black from 300 twips above the bottom edge and nowhere above.
    QCOMPARE(viewBox(*w)->lastPrintedLine(), QStringLiteral("%1/View 1.JPG --> %2 x %3 pixel")
                                                 .arg(folderList(*w)->Path())
                                                 .arg(pixels.width())
                                                 .arg(pixels.height()));
    const QImage& canvas = viewBox(*w)->canvas();
    int darkAbove = 0, darkBelow = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x)
            (y < (7600 - 20) / 15 ? darkAbove : darkBelow) += qGray(canvas.pixel(x, y)) < 60;
    }
    QVERIFY(darkAbove == 0 && darkBelow > 20);
}

void ViewTest::opensOnlyForCellsWithPictures()
{
    // No "/" added after a folder that already ends in one (the root).
    QCOMPARE(FolderService::JoinPath(QStringLiteral("/"), QStringLiteral("P1.JPG")), QStringLiteral("/P1.JPG"));
    QCOMPARE(FolderService::JoinPath(QStringLiteral("/a/"), QStringLiteral("P1.JPG")), QStringLiteral("/a/P1.JPG"));
    PictureFolder folder;
    const QString deep = QStringLiteral("holidays in the mountains 2019/second week/the lake at sunrise and sunset/");
    fill(folder, deep, 0, 29);
    auto w = startIn(folder.path());
    // Page 1 holds 6 pictures: cell 10 has an empty caption.
    w->pageForward();
    w->openCell(10);
    QVERIFY(isClosed(*w) && !w->browsing().viewEntry());
    w->openCell(4);
    checkShows(*w, 1, 4, 28);
    // Only the last 80 characters of the caption line are printed.
    const QString whole = folder.at(deep) + nameOf(28) + QStringLiteral(" --> 32 x 24 pixel");
    QCOMPARE(viewBox(*w)->lastPrintedLine(), whole.right(80));
    // Over the stepping images the pointer is the arrow, over the rest of the
    // view the zoom-out magnifier, not the thumbnails' zoom-in one.
    QVERIFY(stepBackImage(*w)->cursor().shape() == Qt::ArrowCursor &&
            stepForwardImage(*w)->cursor().shape() == Qt::ArrowCursor);
    QCOMPARE(viewBox(*w)->cursor().shape(), Qt::BitmapCursor);
    QVERIFY(!viewBox(*w)->cursor().pixmap().isNull() &&
            viewBox(*w)->cursor().pixmap().toImage() != thumbnail(*w, 0)->cursor().pixmap().toImage());
    // The frames beside the view, columns 0 and 5, are painted light grey.
    for (int cell : {0, 5, 18, 23})
        QCOMPARE(frame(*w, cell)->grab().toImage().pixelColor(2, 2), QColor(180, 180, 180));
    // Without pictures in the list the cells hold the placeholders 0 to 23:
    // a picture file named like one must not open.
    PictureFolder empty;
    empty.addPicture(QStringLiteral("7"), QSize(32, 24), colorFor(7));
    empty.addPicture(QStringLiteral("23"), QSize(32, 24), colorFor(23));
    auto e = startIn(empty.path());
    e->openCell(7);
    e->openCell(23);
    QVERIFY(isClosed(*e) && !e->browsing().viewEntry());
    // A line break in a name shows as U+FFFD: the caption stays on one line.
    PictureFolder odd;
    odd.addPicture(QStringLiteral("two\nlines.BMP"), QSize(32, 24), colorFor(1));
    auto o = startIn(odd.path());
    o->openCell(0);
    QCOMPARE(viewBox(*o)->lastPrintedLine(),
             (odd.path() + QStringLiteral("/two\uFFFDlines.BMP --> 32 x 24 pixel")).right(80));
    // 80 characters of an ordinary camera path, capitals and all, end inside the view in the face it writes with.
    // The camera's 6000 x 4000 frame is only claimed by the header: the data runs out and fills grey.
    PictureFolder camera;
    const QString sub = QStringLiteral("FOTKY-2023-LEDEN/Vylet-Na-Snezku-S-Detmi-A-Babickou");
    camera.addFile(sub + QStringLiteral("/DSC_4711.JPG"),
                   Samples::WithFrameSize(Samples::Jpeg(QImage(48, 32, QImage::Format_RGB32)), QSize(6000, 4000)));
    auto c = startIn(camera.at(sub));
    c->openCell(0);
    const QString line = viewBox(*c)->lastPrintedLine();
    QVERIFY2(line == "2023-LEDEN/Vylet-Na-Snezku-S-Detmi-A-Babickou/DSC_4711.JPG --> 6000 x 4000 pixel",
             qPrintable(line));
    const double lineWidth = QFontMetricsF(viewBox(*c)->textFont(), &viewBox(*c)->canvas()).horizontalAdvance(line);
    QVERIFY2(lineWidth <= viewBox(*c)->width(), qPrintable(QStringLiteral("%1 px in a %2 px view, in %3")
                                                               .arg(lineWidth)
                                                               .arg(viewBox(*c)->width())
                                                               .arg(QFontInfo(viewBox(*c)->textFont()).family())));
}

void ViewTest::stepsAndCloses()
{
    PictureFolder folder;
    fill(folder, QString(), 0, 273); // 12 pages, the last of them with 10 pictures
    auto w = startIn(folder.path());
    const QStringList names = frameCaptions(*w);
    w->openCell(5);
    w->stepForward();
    checkShows(*w, 0, 6, 6);
    w->stepBack();
    checkShows(*w, 0, 5, 5);
    // Closed with no pass under way, or one just begun: no caption changes.
    QCOMPARE(w->grid().passCell(), -1);
    w->closeView();
    QVERIFY(isClosed(*w) && frameCaptions(*w) == names);
    w->openCell(8);
    std::optional<QStringList> atFirstCell;
    EventYield::setHook([&] {
        if (w->grid().passCell() == 0 && !atFirstCell) {
            w->closeView();
            atFirstCell = frameCaptions(*w);
        }
    });
    w->showPage();
    EventYield::setHook(nullptr);
    QVERIFY(isClosed(*w) && atFirstCell == names);
    w->openCell(8);
    // Closed while a pass is at cell 5: the cells it has not reached lose
    // their names, and the pass, going on, does not reopen the view at cell 8.
    QStringList atClose;
    EventYield::setHook([&] {
        if (w->grid().passCell() == 5 && atClose.isEmpty()) {
            w->closeView();
            atClose = frameCaptions(*w);
        }
    });
    w->showPage();
    EventYield::setHook(nullptr);
    QCOMPARE(atClose, names.mid(0, 6) + QStringList(18, QString()));
    QVERIFY(isClosed(*w) && frameCaptions(*w) == names);
    // To the first cell of the first page, and no further.
    w->openCell(1);
    for (int step = 0; step < 2; ++step) {
        w->stepBack();
        checkShows(*w, 0, 0, 0);
        QVERIFY(stepForwardImage(*w)->isVisible() && !stepBackImage(*w)->isVisible());
    }
    // Forward over the edge of page 2: page 3 is drawn and opens its cell 0.
    w->closeView();
    fileList(*w)->setListIndex(2 * 24);
    w->openCell(23);
    QVERIFY(stepForwardImage(*w)->isVisible());
    w->stepForward();
    checkShows(*w, 3, 0, 72);
    QVERIFY(stepBackImage(*w)->isVisible());
    // Back over the edge: the last picture of page 2 opens at once, before
    // that page is drawn under it.
    QColor shownAtPass;
    QStringList captionsAtPass;
    EventYield::setHook([&] {
        if (captionsAtPass.isEmpty()) {
            shownAtPass = shown(*w);
            captionsAtPass = frameCaptions(*w);
        }
    });
    w->stepBack();
    QVERIFY(near(shownAtPass, shade(71), 2));
    QCOMPARE(captionsAtPass.first() + captionsAtPass.last(), nameOf(48) + nameOf(71));
    checkShows(*w, 2, 23, 71);
    // The last page: nothing after its cell 9.
    w->closeView();
    fileList(*w)->setListIndex(11 * 24 + 5);
    w->openCell(8);
    for (int step = 0; step < 2; ++step) {
        w->stepForward();
        checkShows(*w, 11, 9, 273);
        QVERIFY(!stepForwardImage(*w)->isVisible() && stepBackImage(*w)->isVisible());
    }
}

void ViewTest::stepDuringAPass_data()
{
    QTest::addColumn<int>("atYield");
    // At cell 1, not yet drawn, its frame still names picture 1 of page 0.
    QTest::newRow("next cell not drawn yet") << 2;
    QTest::newRow("next cell drawn") << 4;
}

// Stepping over the edge of page 0 draws page 1 and opens its cell 0; a
// step clicked while that pass yields ends with the view on cell 1, showing
// cell 1's picture of page 1 and naming it, whatever the frame named when
// the step was clicked.
void ViewTest::stepDuringAPass()
{
    QFETCH(int, atYield);
    PictureFolder folder;
    fill(folder, QString(), 0, 71);
    auto w = startIn(folder.path());
    w->openCell(23);
    int yields = 0;
    EventYield::setHook([&] {
        if (++yields == atYield)
            w->stepForward();
    });
    w->stepForward();
    checkShows(*w, 1, 1, 25);
    QVERIFY(stepBackImage(*w)->isVisible() && stepForwardImage(*w)->isVisible());
}

// Once the pipeline has nothing left to do, the pictures either side of the
// enlarged one are decoded already: a step, within a page or over its edge
// either way, never makes the window wait for a decode.
void ViewTest::stepsAfterAnIdleMomentNeverWait()
{
    PictureFolder folder;
    fill(folder, QString(), 0, 29);
    auto w = startIn(folder.path());
    w->openCell(22);
    const auto stepsWithoutWaiting = [&](void (Kalvio::*step)()) {
        if (!QTest::qWaitFor([&] { return w->pictures().isIdle(); }, 10000))
            return false;
        const quint64 waited = w->pictures().waitedGets();
        (w.get()->*step)();
        return w->pictures().waitedGets() == waited;
    };
    for (int k = 23; k <= 25; ++k) {
        QVERIFY2(stepsWithoutWaiting(&Kalvio::stepForward), qPrintable(nameOf(k)));
        checkShows(*w, 1 - (k < 24), k % 24, k);
    }
    for (int k = 24; k >= 23; --k) {
        QVERIFY2(stepsWithoutWaiting(&Kalvio::stepBack), qPrintable(nameOf(k)));
        checkShows(*w, k / 24, k % 24, k);
    }
}

void ViewTest::brokenFilesAndHugeOnes()
{
    // One page of 24: a 12000 x 12000 JPEG (more than Qt decodes at full
    // size), then pictures of which 3 is deleted, 4 unreadable, 9 and 23 broken.
    PictureFolder folder;
    {
        QImage huge(12000, 12000, QImage::Format_RGB888);
        huge.fill(colorFor(5));
        QVERIFY(huge.save(folder.at(QStringLiteral("A.JPG")), "JPEG", 50));
    }
    fill(folder, QString(), 1, 23);
    folder.addFile(nameOf(9), QByteArray("not a picture"));
    folder.addFile(nameOf(23), QByteArray());
    auto w = startIn(folder.path());
    QVERIFY(QFile::remove(folder.at(nameOf(3))));
    QVERIFY(QFile::setPermissions(folder.at(nameOf(4)), QFileDevice::Permissions()));
    const WithoutRootRights asUser;
    // The huge picture opens, decoded at the view's size, with its file's size.
    w->openCell(0);
    QVERIFY(isOpenAt(*w, 0) && w->view().shownPicture()->image.width() <= 534 && near(shown(*w), colorFor(5)));
    QVERIFY(viewBox(*w)->lastPrintedLine().endsWith(QStringLiteral("/A.JPG --> 12000 x 12000 pixel")));
    // With the view closed, a broken file leaves the grid as it is.
    w->closeView();
    const QStringList captions = frameCaptions(*w);
    for (int cell : {3, 4, 9, 23}) {
        w->openCell(cell);
        QVERIFY(isClosed(*w) && w->browsing().viewEntry() && w->browsing().viewCell() == 0 &&
                frameCaptions(*w) == captions);
    }
    // With the view open, a step onto a broken file keeps it open there, so
    // the next step passes over it; the arrows follow the cell.
    w->openCell(2);
    for (int cell : {3, 4}) {
        w->stepForward();
        QVERIFY(isOpenAt(*w, cell) && near(shown(*w), QColor(128, 128, 128), 2)); // empty, not the last picture
    }
    w->stepForward();
    QVERIFY(isOpenAt(*w, 5) && near(shown(*w), shade(5), 2));
    w->openCell(22);
    for (int step = 0; step < 2; ++step) {
        w->stepForward();
        QVERIFY(isOpenAt(*w, 23) && near(shown(*w), QColor(128, 128, 128), 2) && !stepForwardImage(*w)->isVisible());
    }
    QVERIFY(stepBackImage(*w)->isVisible());
    w->stepBack();
    QVERIFY(isOpenAt(*w, 22) && near(shown(*w), shade(22), 2));
}

QTEST_MAIN(ViewTest)
#include "tst_view.moc"
