// Pages of 24 cells: the counter, what each cell shows and where, the arrows, the file list, page
// changes or a close in the middle of a pass, and pictures that are broken, enormous or large.

#include "TestSupport.h"

#include "Colors.h"
#include "CommandLine.h"
#include "Decode.h"
#include "EventYield.h"

#include <QBuffer>
#include <QImageWriter>
#include <QLoggingCategory>
#include <QMutex>
#include <QPainter>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTimer>
#include <QtTest>

#include <sys/resource.h>

#include <map>
#include <mutex>

using namespace TestSupport;
using Arrows = std::pair<bool, bool>;
using Look = QList<std::tuple<QImage, QString, MousePointer>>;
const auto arrows = [](Kalvio& w) { return Arrows(pageBackArrow(w)->Visible(), pageForwardArrow(w)->Visible()); };

namespace {

// A cell against a one-colour picture drawn into `drawn` (pixels): a pixel
// wholly inside shows the colour, one wholly outside the background.
QString fitMismatch(Kalvio& w, int cell, const QRectF& drawn, const QColor& colour)
{
    const QImage& canvas = thumbnail(w, cell)->canvas();
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const QColor seen = canvas.pixelColor(x, y);
            if ((drawn.contains(QRectF(x, y, 1, 1)) && !near(seen, colour, 4)) ||
                (!drawn.intersects(QRectF(x, y, 1, 1)) && !near(seen, ToQColor(thumbnail(w, cell)->BackColor()), 0)))
                return QStringLiteral("pixel %1,%2 is %3").arg(x).arg(y).arg(seen.name());
        }
    }
    return {};
}

// The grid against page `page` of a folder of `count` numbered pictures,
// drawn whole; without pictures, the placeholders 0 to 23 and no counter.
QString pageMismatch(Kalvio& w, int page, int count)
{
    const QString counter = count ? QStringLiteral("%1 z %2").arg(page + 1).arg((count + 23) / 24) : QString();
    if (w.browsing().page() != page || (count && w.grid().passCell() != -1) || pageCounter(w)->Caption() != counter)
        return QStringLiteral("page %1, counter %2")
            .arg(w.browsing().page().value_or(-1))
            .arg(pageCounter(w)->Caption());
    for (int i = 0, k = page * 24; i < Kalvio::CellCount; ++i, ++k) {
        if (frame(w, i)->Caption() != (!count      ? QString::number(i)
                                       : k < count ? numberedName(k)
                                                   : QString()) ||
            !(k < count ? cellIsFilledWith(w, i, colorFor(k)) : cellIsBlank(w, i)) ||
            thumbnail(w, i)->mousePointer() != (k < count ? MousePointer::Custom : MousePointer::Arrow))
            return QStringLiteral("cell %1").arg(i);
    }
    return {};
}

Look lookOf(Kalvio& w)
{
    Look look;
    for (int i = 0; i < Kalvio::CellCount; ++i)
        look.append({thumbnail(w, i)->canvas(), frame(w, i)->Caption(), thumbnail(w, i)->mousePointer()});
    return look;
}

QByteArray jpeg(const QImage& image, bool progressive)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setProgressiveScanWrite(progressive);
    return writer.write(image) ? bytes : QByteArray();
}

} // namespace

class PagesTest : public QObject {
    Q_OBJECT
    PictureFolder folder_;
    const QString numbered_ = folder_.at(QStringLiteral("72")); // three pages
private slots:
    void initTestCase() { addNumberedPictures(folder_, QStringLiteral("72"), 72); }
    void cleanup() { EventYield::setHook(nullptr); }
    void pagesArrowsAndFileList();
    void pictureFitsTheCell_data();
    void pictureFitsTheCell();
    void pageChangeClearsWhatAPassLeft_data();
    void pageChangeClearsWhatAPassLeft();
    void pageChangeDuringAPassWins_data();
    void pageChangeDuringAPassWins();
    void otherRequestsDuringAPass_data();
    void otherRequestsDuringAPass();
    void pageRequestsNeverPileUp();
    void pageTurnLeavesTheOldPagesSlowPicture();
    void nextPageIsDecodedAhead();
    void pageListedAheadIsDecodedOnce();
    void smallCopiesAndBadPictures();
    void picturesDecodedElsewhereStayTrue();
    void brokenPictureIsReadOncePerCell();
    void largeJpegIsDecodedAtTheSizeDrawn_data();
    void largeJpegIsDecodedAtTheSizeDrawn();
    void cameraPictureIsShownUpright();
};

void PagesTest::pagesArrowsAndFileList()
{
    PictureFolder folder;
    folder.addFile(QStringLiteral("none/notes.txt"));
    addNumberedPictures(folder, QStringLiteral("one"), 10);
    addNumberedPictures(folder, QStringLiteral("two"), 30);
    auto w = startIn(folder.at(QStringLiteral("none")));
    QCOMPARE(pageMismatch(*w, 0, 0), QString());
    QVERIFY(!w->grid().passCell());
    // 30 pictures: page 1 shows 6 and clears cells 6 to 23.
    w->openPath(folder.at(QStringLiteral("two")));
    w->pageForwardArrowClicked();
    QCOMPARE(pageMismatch(*w, 1, 30), QString());
    QCOMPARE(arrows(*w), Arrows(true, false));
    // Three pages: an arrow shows while another page lies its way. Each
    // control closes the enlarged view.
    w->openCell(2);
    w->openPath(numbered_);
    QCOMPARE(arrows(*w), Arrows(false, true));
    const int steps[][4] = {{1, 1, 1, 1}, {1, 2, 1, 0}, {1, 2, 1, 0}, {0, 1, 1, 1},
                            {0, 0, 0, 1}, {0, 0, 0, 1}, {1, 1, 1, 1}};
    for (const auto& [forward, page, back, ahead] : steps) {
        QVERIFY(!viewBox(*w)->Visible() && gridHasLook(*w, RGB(128, 128, 128), true));
        w->openCell(2);
        forward ? w->pageForwardArrowClicked() : w->pageBackArrowClicked();
        QCOMPARE(pageMismatch(*w, page, 72), QString());
        QCOMPARE(arrows(*w), Arrows(back, ahead));
    }
    // File 47 lies on page 1, shown: the view closes and nothing is drawn;
    // 48 lies on page 2; none chosen (-1) changes nothing.
    int yields = 0;
    EventYield::setHook([&] { ++yields; });
    for (const auto& [entry, page, drawn] : {std::tuple{47, 1, 0}, std::tuple{48, 2, 24}, std::tuple{-1, 2, 24}}) {
        w->openCell(3);
        fileList(*w)->setListIndex(entry);
        QVERIFY(fileList(*w)->ListIndex() == entry && viewBox(*w)->Visible() == (entry < 0) && yields == drawn);
        QCOMPARE(pageMismatch(*w, page, 72), QString());
        QCOMPARE(arrows(*w), Arrows(true, page < 2));
    }
    EventYield::setHook(nullptr);
    // One page, and no page, after both arrows were shown: both go; the
    // progress of the last pass stands.
    w->openPath(folder.at(QStringLiteral("one")));
    QCOMPARE(pageMismatch(*w, 0, 10), QString());
    QCOMPARE(arrows(*w), Arrows(false, false));
    w->openPath(numbered_);
    w->pageForwardArrowClicked();
    w->openPath(folder.at(QStringLiteral("none")));
    QCOMPARE(pageMismatch(*w, 0, 0), QString());
    QVERIFY(w->grid().passCell() == -1 && arrows(*w) == Arrows(false, false));
}

void PagesTest::pictureFitsTheCell_data()
{
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<QSize>("cellZero"); // twips; none: as laid out, 1800 x 1500
    QTest::addColumn<QRectF>("drawn");   // pixels of the cell
    QTest::addColumn<int>("cutRows");
    QTest::newRow("4:3") << QSize(400, 300) << QSize() << QRectF(0, 5, 120, 90) << 0;
    // Portrait and square: as high as cell 0 is wide, so 10 rows are cut at
    // top and bottom, where black bands of 9 must not show.
    QTest::newRow("3:4") << QSize(270, 360) << QSize() << QRectF(15, -10, 90, 120) << 27;
    QTest::newRow("square") << QSize(360, 360) << QSize() << QRectF(0, -10, 120, 120) << 27;
    // 1500 x 1125 twips at 0, 137 (137.5 floored), also in cell 1, which kept its own size.
    QTest::newRow("1500 x 1400") << QSize(400, 300) << QSize(1500, 1400) << QRectF(0, 137 / 15.0, 100, 75) << 0;
}

void PagesTest::pictureFitsTheCell()
{
    QFETCH(QSize, pixels);
    QFETCH(QSize, cellZero);
    QFETCH(QRectF, drawn);
    QFETCH(int, cutRows);
    QImage banded(pixels, QImage::Format_RGB32);
    banded.fill(colorFor(7));
    for (int y : {0, pixels.height() - cutRows})
        QPainter(&banded).fillRect(0, y, pixels.width(), cutRows, Qt::black);
    PictureFolder folder;
    folder.addImage(QStringLiteral("A.BMP"), banded);
    folder.addPicture(QStringLiteral("B.JPG"), pixels, colorFor(9));
    auto w = startIn(folder.path());
    QCOMPARE(thumbnail(*w, 0)->canvas().size(), QSize(120, 100));
    if (cellZero.isValid()) {
        thumbnail(*w, 0)->setWidth(Twips(cellZero.width()));
        thumbnail(*w, 0)->setHeight(Twips(cellZero.height()));
        w->showPage();
    }
    QCOMPARE(fitMismatch(*w, 0, drawn, colorFor(7)), QString());
    // A JPEG's colour is only near the original; its place is the same.
    QVERIFY(near(cellCentre(*w, 1), colorFor(9)));
    QCOMPARE(fitMismatch(*w, 1, drawn, cellCentre(*w, 1)), QString());
}

void PagesTest::pageChangeClearsWhatAPassLeft_data()
{
    // Forward clears pictures, names and pointers; back pictures only.
    QTest::addColumn<bool>("forward");
    QTest::addColumn<int>("fromPage");
    QTest::addColumn<int>("reached"); // the cell an interrupted pass had reached
    QTest::addColumn<int>("toPage");
    QTest::newRow("forward at cell 7") << true << 1 << 7 << 2;
    QTest::newRow("back at cell 7") << false << 2 << 7 << 1;
    QTest::newRow("forward at cell 0") << true << 1 << 0 << 2;
    QTest::newRow("back, no pass") << false << 2 << -1 << 1;
    QTest::newRow("forward on the last page") << true << 2 << 7 << 2;
}

void PagesTest::pageChangeClearsWhatAPassLeft()
{
    QFETCH(bool, forward);
    QFETCH(int, fromPage);
    QFETCH(int, reached);
    QFETCH(int, toPage);
    auto w = startIn(numbered_);
    fileList(*w)->setListIndex(24 * fromPage);
    const auto turnPage = [&] { forward ? w->pageForward() : w->pageBack(); };
    // The page is drawn again and turned when that pass is at cell `reached`
    // (at once when no pass runs); the grid is taken just before the turn, and
    // when the new pass first yields: cleared, nothing new drawn yet.
    std::optional<Look> atTurn, atNewPass;
    EventYield::setHook([&] {
        if (atTurn) {
            atNewPass = atNewPass.value_or(lookOf(*w));
        } else if (w->grid().passCell() == reached) {
            atTurn = lookOf(*w);
            turnPage();
        }
    });
    if (reached >= 0) {
        w->showPage();
    } else {
        atTurn = lookOf(*w);
        turnPage();
    }
    EventYield::setHook(nullptr);
    QVERIFY(atTurn);
    const Look before = *atTurn;
    // On the last page no pass follows, and the cleared cells stay so.
    QCOMPARE(bool(atNewPass), toPage != fromPage);
    const Look seen = atNewPass.value_or(lookOf(*w));
    for (int i = 0; i < Kalvio::CellCount; ++i) {
        const bool cleared = reached > 0 && i >= reached, all = cleared && forward;
        const auto& [canvas, caption, pointer] = seen[i];
        QVERIFY(cleared ? isFilledWith(canvas, ToQColor(thumbnail(*w, i)->BackColor()), 0)
                        : canvas == std::get<0>(before[i]));
        QCOMPARE(caption, all ? QString() : std::get<1>(before[i]));
        QCOMPARE(pointer, all ? MousePointer::Arrow : std::get<2>(before[i]));
    }
    QCOMPARE(w->browsing().page(), toPage);
    QVERIFY(toPage == fromPage || pageMismatch(*w, toPage, 72).isEmpty());
}

void PagesTest::pageChangeDuringAPassWins_data()
{
    QTest::addColumn<int>("fromPage");
    QTest::addColumn<int>("atCell");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("toPage");
    QTest::newRow("forward arrow") << 0 << 7 << "forward" << 1;
    QTest::newRow("file of page 0") << 2 << 9 << "file 3" << 0;
    QTest::newRow("window closed") << 0 << 5 << "close" << 0;
}

void PagesTest::pageChangeDuringAPassWins()
{
    QFETCH(int, fromPage);
    QFETCH(int, atCell);
    QFETCH(QString, action);
    QFETCH(int, toPage);
    auto w = startIn(numbered_);
    fileList(*w)->setListIndex(24 * fromPage);
    for (int i = 0; i < Kalvio::CellCount; ++i)
        thumbnail(*w, i)->ClearPicture();
    QList<QPoint> yields;                                  // page, cell
    std::optional<std::pair<qsizetype, Look>> afterAction; // the yields so far and the grid
    std::optional<Look> atNextYield;
    EventYield::setHook([&] {
        yields.append(QPoint(w->browsing().page().value_or(-1), w->grid().passCell().value_or(-2)));
        if (afterAction && !atNextYield)
            atNextYield = lookOf(*w);
        if (!afterAction && yields.last() == QPoint(fromPage, atCell)) {
            action == "close"     ? void(w->close())
            : action == "forward" ? w->pageForwardArrowClicked()
                                  : fileList(*w)->setListIndex(3);
            afterAction = {yields.size(), lookOf(*w)};
        }
    });
    w->showPage();
    // The old pass yields no more and touches no cell once the action has
    // run; the new page is then drawn whole.
    QList<QPoint> expected;
    for (int cell = 0; cell <= atCell + (action == "close" ? 0 : 24); ++cell)
        expected << (cell <= atCell ? QPoint(fromPage, cell) : QPoint(toPage, cell - atCell - 1));
    QCOMPARE(yields, expected);
    QVERIFY(afterAction && afterAction->first == atCell + 1);
    QVERIFY(action == "close" ? !atNextYield : atNextYield == afterAction->second);
    if (action != "close") {
        QCOMPARE(pageMismatch(*w, toPage, 72), QString());
        QCOMPARE(arrows(*w), Arrows(toPage > 0, toPage < 2));
        return;
    }
    // Closed at cell 5: that cell got its wait text and nothing more.
    QCOMPARE(w->grid().passCell(), 5);
    for (int i = 0; i < Kalvio::CellCount; ++i)
        QVERIFY(i < 5 ? cellIsFilledWith(*w, i, colorFor(i)) : cellIsBlank(*w, i) == (i > 5));
    QVERIFY(!near(cellCentre(*w, 5), colorFor(5), 40));
}

void PagesTest::otherRequestsDuringAPass_data()
{
    QTest::addColumn<int>("atCell");
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("shownAfter"); // pictures of the folder shown in the end (-1: none)
    QTest::newRow("an entry of the page being drawn") << 9 << "entry 53" << 72;
    QTest::newRow("another folder") << 7 << "folder 30" << 30;
    QTest::newRow("a folder without pictures") << 7 << "folder 0" << 0;
}

// Page 2 of 72 being drawn when another file of that page is chosen, or the
// folder changes: the file's page needs no new pass, so only the closing view
// empties the captions past the cell being drawn and the pass draws them
// again; another folder ends the pass and shows its first page.
void PagesTest::otherRequestsDuringAPass()
{
    QFETCH(int, atCell);
    QFETCH(QString, request);
    QFETCH(int, shownAfter);
    PictureFolder other;
    addNumberedPictures(other, QStringLiteral("30"), 30);
    other.makeFolder(QStringLiteral("0"));
    auto w = startIn(numbered_);
    fileList(*w)->setListIndex(48);
    QList<QPoint> yields; // folder's pictures, cell
    std::optional<Look> before, after;
    EventYield::setHook([&] {
        yields.append(QPoint(fileList(*w)->ListCount(), w->grid().passCell().value_or(-2)));
        if (!after && yields.size() == atCell + 1) {
            before = lookOf(*w);
            request.startsWith("entry") ? fileList(*w)->setListIndex(53)
                                        : w->openPath(other.at(request.section(u' ', 1)));
            after = lookOf(*w);
        }
    });
    w->showPage();
    QVERIFY(before && after);
    if (shownAfter == 72) {
        // Nothing cleared but the captions after the cell being drawn.
        for (int i = 0; i < Kalvio::CellCount; ++i) {
            QCOMPARE(std::get<0>((*after)[i]), std::get<0>((*before)[i]));
            QCOMPARE(std::get<1>((*after)[i]), i > atCell ? QString() : std::get<1>((*before)[i]));
        }
    }
    QList<QPoint> expected;
    for (int cell = 0; cell <= atCell; ++cell)
        expected << QPoint(72, cell);
    for (int cell = shownAfter == 72 ? atCell + 1 : 0; shownAfter && cell < Kalvio::CellCount; ++cell)
        expected << QPoint(shownAfter, cell);
    QCOMPARE(yields, expected);
    QCOMPARE(pageMismatch(*w, shownAfter == 72 ? 2 : 0, shownAfter), QString());
    QCOMPARE(arrows(*w), Arrows(shownAfter == 72, shownAfter == 30));
}

// Forward and back at every yield, far faster than pages are drawn: the
// stack stays as deep as one pass, and the last request is what shows.
// After an idle moment on page 1, page 2's thumbnails are already decoded:
// turning the page decodes none of them again.
void PagesTest::nextPageIsDecodedAhead()
{
    std::mutex mutex;
    std::map<std::string, int> decodes; // file, times decoded
    Pictures::Pipeline::Options counting;
    counting.decode = [&](const std::string& path, QSize box, Pictures::Purpose purpose) {
        {
            const std::lock_guard lock(mutex);
            ++decodes[path];
        }
        return Pictures::Decode(path, box, purpose);
    };
    const auto decodedOnce = [&](int first, int last) {
        const std::lock_guard lock(mutex);
        for (int k = first; k <= last; ++k) {
            const auto found = decodes.find(QFile::encodeName(numbered_ + u'/' + numberedName(k)).toStdString());
            if (found == decodes.end() || found->second != 1)
                return false;
        }
        return true;
    };
    auto w = startIn(numbered_, counting);
    QVERIFY(decodedOnce(0, 23));
    QTRY_VERIFY_WITH_TIMEOUT(decodedOnce(24, 47), 10000);
    w->pageForward();
    QCOMPARE(pageMismatch(*w, 1, 72), QString());
    QVERIFY(decodedOnce(0, 47));
}

// Started with its folder listed ahead, the window asks for the first page
// before it builds its widgets, with the very requests its pass makes then:
// each cell's picture (for an "R" name its small copy, whatever the letter
// case of THM) is decoded once, before load(), and the page drawn from it.
void PagesTest::pageListedAheadIsDecodedOnce()
{
    PictureFolder folder;
    const QString plain = folder.addPicture(QStringLiteral("A.JPG"), QSize(160, 120), colorFor(0));
    const QString named = folder.addPicture(QStringLiteral("R0002.JPG"), QSize(160, 120), colorFor(1));
    const QString copy = folder.addPicture(QStringLiteral("thm/T0002.JPG"), QSize(80, 60), colorFor(2));
    std::mutex mutex;
    std::map<std::string, int> decodes;
    Pictures::Pipeline::Options counting;
    counting.workers = 4; // as on a machine with cores to spare while the window is built
    counting.decode = [&](const std::string& path, QSize box, Pictures::Purpose purpose) {
        {
            const std::lock_guard lock(mutex);
            ++decodes[path];
        }
        return Pictures::Decode(path, box, purpose);
    };
    const auto decoded = [&](const QString& path) {
        const std::lock_guard lock(mutex);
        return decodes[QFile::encodeName(path).toStdString()];
    };
    StartListing listing(folder.path(), CommandLine::ListedPictures);
    QTRY_VERIFY(listing.isReady());
    const auto w = std::make_unique<Kalvio>(counting, QString(), listing);
    QTRY_VERIFY(decoded(plain) == 1 && decoded(copy) == 1);
    w->setStartPath(folder.path(), QString());
    w->load();
    QCOMPARE(w->browsing().entryCount(), 2);
    QCOMPARE(w->browsing().shownName(1), QStringLiteral("R0002.JPG"));
    QVERIFY(near(cellCentre(*w, 1), colorFor(2)));
    QCOMPARE(decoded(plain), 1);
    QCOMPARE(decoded(copy), 1);
    QCOMPARE(decoded(named), 0);
}

void PagesTest::pageRequestsNeverPileUp()
{
    auto w = startIn(numbered_);
    int requests = 0;
    quintptr deepest = ~quintptr(0), shallowest = 0;
    EventYield::setHook([&] {
        const char probe = 0;
        deepest = std::min(deepest, quintptr(&probe));
        shallowest = std::max(shallowest, quintptr(&probe));
        if (requests < 2000)
            ++requests % 2 ? w->pageForwardArrowClicked() : w->pageBackArrowClicked();
    });
    w->showPage();
    QCOMPARE(requests, 2000);
    QVERIFY2(shallowest - deepest < 16 * 1024, qPrintable(QString::number(shallowest - deepest)));
    QCOMPARE(pageMismatch(*w, 0, 72), QString());
    QCOMPARE(arrows(*w), Arrows(false, true));
}

// The pass waits in cell 5 for a picture whose decode is held; the page is
// turned meanwhile. The old pass stops waiting at once, and the new page is
// named and drawn whole while that decode is still held.
void PagesTest::pageTurnLeavesTheOldPagesSlowPicture()
{
    HeldDecode slow(QFile::encodeName(numbered_ + u'/' + numberedName(5)).toStdString());
    const CurrentDirectory inFolder(numbered_);
    const auto w = std::make_unique<Kalvio>(slow.options());
    const auto releaseBeforeTheWindowGoes = qScopeGuard([&slow] { slow.release(); });
    // Polled while the pass yields or waits: the page is turned once cell 5
    // is named, so inside the wait for its picture. Should the old pass still
    // wait after many polls with no yield of a new pass, the held decode is
    // let go so that the test ends.
    bool turned = false, newPassYielded = false;
    int pollsSinceTurn = 0;
    std::optional<QString> drawnWhileHeld;
    QTimer poll;
    poll.setInterval(5);
    connect(&poll, &QTimer::timeout, [&] {
        if (!turned && w->browsing().page() == 0 && w->grid().passCell() == 5 &&
            w->browsing().shownName(5) == numberedName(5)) {
            turned = true;
            w->pageForwardArrowClicked();
        } else if (turned && !newPassYielded && ++pollsSinceTurn == 50) {
            slow.release();
        }
    });
    EventYield::setHook([&] { newPassYielded = turned; });
    connect(&w->grid(), &PageGrid::pageDrawn, [&] {
        if (w->browsing().page() == 1 && !drawnWhileHeld)
            drawnWhileHeld = slow.released() ? QStringLiteral("drawn only once the slow decode was let go")
                                             : pageMismatch(*w, 1, 72);
    });
    poll.start();
    w->load();
    QVERIFY(turned);
    QCOMPARE(drawnWhileHeld.value_or(QStringLiteral("never drawn")), QString());
    QCOMPARE(pageMismatch(*w, 1, 72), QString());
}

void PagesTest::smallCopiesAndBadPictures()
{
    PictureFolder folder;
    QByteArray garbage;
    for (QRandomGenerator random(7); garbage.size() < 4000;)
        garbage.append(char(random.bounded(256)));
    QImage small(64, 48, QImage::Format_RGB32);
    small.fill(Qt::darkGreen);
    // Headers that claim enormous sizes with almost no data: GIF and BMP
    // 60000 x 60000, BMP 16000 x 16000, and a progressive JPEG 30000 x 30000,
    // whose coefficients libjpeg keeps for the whole frame at any decoded size.
    const QByteArray gif("GIF89a\x60\xEA\x60\xEA\x80\0\0\0\0\0\0\0\0,\0\0\0\0\x60\xEA\x60\xEA\0\x02\x02\x4C\x01\0;",
                         35);
    auto bmp = [](const char* side) {
        return QByteArray("BM\x36\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18) + QByteArray(side, 4) + QByteArray(side, 4) +
               QByteArray("\x01\0\x18\0", 4) + QByteArray(24, '\0');
    };
    QByteArray progressive = jpeg(small, true);
    progressive.replace(progressive.indexOf("\xFF\xC2") + 5, 4, "\x75\x30\x75\x30"); // after length and precision
    folder.addPicture(QStringLiteral("A.JPG"), QSize(160, 120), colorFor(0));
    folder.addFile(QStringLiteral("B.JPG"), QByteArray());
    folder.addFile(QStringLiteral("C.JPG"), jpeg(small, false).left(100));
    folder.addFile(QStringLiteral("D.JPG"), garbage);
    // Qt's reader refuses the 60000 x 60000 BMP itself, not the others.
    const QList<std::tuple<const char*, QByteArray, int>> huge{{"E.GIF", gif, 60000},
                                                               {"F.BMP", bmp("\x60\xEA\0\0"), -1},
                                                               {"G.BMP", bmp("\x80\x3E\0\0"), 16000},
                                                               {"H.JPG", progressive, 30000}};
    for (const auto& [name, bytes, side] : huge) {
        const auto decoded = Pictures::Decode(QFile::encodeName(folder.addFile(name, bytes)).toStdString(), 120);
        QCOMPARE(decoded.failure, side < 0 ? Pictures::Failure::Damaged : Pictures::Failure::TooLarge);
    }
    const QString gone = folder.addPicture(QStringLiteral("I.JPG"), QSize(160, 120), colorFor(8));
    folder.makeFolder(QStringLiteral("J.JPG"));
    folder.addPicture(QStringLiteral("K.BMP"), QSize(160, 120), colorFor(10));
    const QString goneDuringPass = folder.addPicture(QStringLiteral("L.JPG"), QSize(160, 120), colorFor(11));
    // Picture 12 + k and its copy in THM: used only for an upper-case "R"
    // name, and only when it loads (T0004 is a folder, T0005 broken). The
    // copy's folder and name are found whatever their letter case.
    const QList<std::tuple<const char*, const char*, bool>> copies{
        {"R0001.JPG", "THM/T0001.JPG", true},  {"R0002.JPG", nullptr, false},
        {"r0003.jpg", "THM/T0003.jpg", false}, {"R0004.JPG", nullptr, false},
        {"R0005.JPG", nullptr, false},         {"S0006.JPG", "THM/T0006.JPG", false},
        {"S0007.JPG", "THM/S0007.JPG", false}, {"R0008.JPG", "thm/t0008.jpg", true},
        {"R0009.JPG", "THM/t0009.Jpg", true}};
    for (int k = 0; k < copies.size(); ++k) {
        folder.addPicture(std::get<0>(copies[k]), QSize(160, 120), colorFor(12 + k));
        if (std::get<1>(copies[k]))
            folder.addPicture(std::get<1>(copies[k]), QSize(80, 60), colorFor(20 + k));
    }
    folder.makeFolder(QStringLiteral("THM/T0004.JPG"));
    folder.addFile(QStringLiteral("THM/T0005.JPG"));
    // Never the claimed size: the highest resident memory grows by less than 100 MiB.
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    auto w = startIn(folder.path());
    w->openPath(folder.path());
    ::getrusage(RUSAGE_SELF, &after);
    QVERIFY(after.ru_maxrss - before.ru_maxrss < 100 * 1024);
    for (int k = 0; k < copies.size(); ++k) {
        const int cell = int(frameCaptions(*w).indexOf(std::get<0>(copies[k])));
        QVERIFY2(cell > 10 && near(cellCentre(*w, cell), colorFor((std::get<2>(copies[k]) ? 20 : 12) + k)),
                 std::get<0>(copies[k]));
    }
    // The folder named like a picture is not listed.
    QCOMPARE(frameCaptions(*w).mid(8, 3), (QStringList{"I.JPG", "K.BMP", "L.JPG"}));
    QVERIFY(near(cellCentre(*w, 8), colorFor(8)));
    // Drawn again after I was deleted, and L deleted when its cell is next.
    QVERIFY(QFile::remove(gone));
    EventYield::setHook([&] {
        if (w->grid().passCell() == 10)
            QFile::remove(goneDuringPass);
    });
    w->showPage();
    QVERIFY(!QFile::exists(goneDuringPass));
    for (int cell = 0; cell < Kalvio::CellCount; ++cell) {
        // Neither the wait text nor the picture loaded before stays.
        const bool shown = cell == 0 || cell == 9 || (cell > 10 && cell < 20);
        QVERIFY2(shown ? !cellIsBlank(*w, cell) : cellIsBlank(*w, cell), qPrintable(frame(*w, cell)->Caption()));
        QCOMPARE(thumbnail(*w, cell)->mousePointer(), shown ? MousePointer::Custom : MousePointer::Arrow);
        // A cell that stays empty says why; one past the end of the list has nothing to say.
        QCOMPARE(thumbnail(*w, cell)->toolTip().isEmpty(), shown || frame(*w, cell)->Caption().isEmpty());
    }
    QVERIFY(near(cellCentre(*w, 0), colorFor(0)) && near(cellCentre(*w, 9), colorFor(10)));
    QCOMPARE(thumbnail(*w, 4)->toolTip(), QStringLiteral("Obrázek je příliš velký"));
    QCOMPARE(thumbnail(*w, 8)->toolTip(), QStringLiteral("Soubor nelze přečíst"));
}

// Pictures are decoded on other threads, ahead and kept for later, yet the
// grid shows only what the page and the files hold now: a page turned while
// the workers decode the old one draws none of the old pictures; a file
// changed since it was drawn is drawn anew; a folder deleted while its page
// is being drawn leaves the rest of the cells empty, saying why.
void PagesTest::picturesDecodedElsewhereStayTrue()
{
    PictureFolder folder;
    addNumberedPictures(folder, QStringLiteral("48"), 48);
    auto w = startIn(folder.at(QStringLiteral("48")));
    int turnedAt = -1;
    QStringList drawnWrong;
    EventYield::setHook([&] {
        const int cell = w->grid().passCell().value_or(-1);
        if (turnedAt < 0 && cell == 1) {
            turnedAt = cell;
            w->pageForwardArrowClicked();
        } else if (w->browsing().page() == 1) {
            for (int i = 0; i < cell; ++i) {
                if (!cellIsFilledWith(*w, i, colorFor(24 + i)))
                    drawnWrong << QString::number(i);
            }
        }
    });
    w->showPage();
    QCOMPARE(drawnWrong, QStringList());
    QCOMPARE(pageMismatch(*w, 1, 48), QString());

    EventYield::setHook(nullptr);
    folder.addPicture(QStringLiteral("48/") + numberedName(24), QSize(120, 100), colorFor(40));
    w->showPage();
    QVERIFY(cellIsFilledWith(*w, 0, colorFor(40)) && cellIsFilledWith(*w, 1, colorFor(25)));

    EventYield::setHook([&] {
        if (w->grid().passCell() == 3)
            QDir(folder.at(QStringLiteral("48"))).removeRecursively();
    });
    w->pageBackArrowClicked();
    for (int i = 3; i < Kalvio::CellCount; ++i)
        QVERIFY(cellIsBlank(*w, i) && thumbnail(*w, i)->toolTip() == QStringLiteral("Soubor nelze přečíst"));
}

// A broken picture without a small copy is tried once, not once as its own
// "thumbnail" and again as itself; each try is logged, so the log counts them.
void PagesTest::brokenPictureIsReadOncePerCell()
{
    PictureFolder folder;
    folder.addFile(QStringLiteral("Broken.JPG"), QByteArray("\xFF\xD8\xFF\xE0 not a picture after all"));
    folder.addFile(QStringLiteral("R0001.JPG"), QByteArray("\xFF\xD8\xFF\xE0 nor this"));
    static QMutex mutex;
    static QStringList tries;
    tries.clear();
    QLoggingCategory::setFilterRules(QStringLiteral("kalvio.pictures.info=true"));
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            const QMutexLocker locked(&mutex);
            tries << text.section(u'/', -1).section(u' ', 0, 0);
        });
    auto w = startIn(folder.path());
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    tries.sort();
    // The small copy THM/T0001.JPG does not exist: nothing to try there.
    QCOMPARE(tries, (QStringList{"Broken.JPG", "R0001.JPG"}));
    QVERIFY(cellIsBlank(*w, 0) && cellIsBlank(*w, 1));
}

void PagesTest::largeJpegIsDecodedAtTheSizeDrawn_data()
{
    QTest::addColumn<bool>("progressive");
    QTest::newRow("baseline") << false;
    QTest::newRow("progressive") << true;
}

void PagesTest::largeJpegIsDecodedAtTheSizeDrawn()
{
    QFETCH(bool, progressive);
    // 4000 x 3000, left half red, right half blue.
    QImage image(4000, 3000, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, 2000, 3000, Qt::red);
    PictureFolder folder;
    folder.addFile(QStringLiteral("Big.JPG"), jpeg(image, progressive));
    auto w = startIn(folder.path());
    // Decoded for exactly the 120 pixels drawn, not at 12 megapixels; the
    // size is the file's.
    const Pictures::Picture& loaded = *loadBuffer(*w)->picture();
    QVERIFY(loaded.fileSize == QSize(4000, 3000) && loaded.image.size() == QSize(120, 90));
    // The cell shows the picture as it looks, only smaller.
    for (double y : {6 * 15.0, 750.0, 93 * 15.0}) {
        for (double x : {15, 55 * 15, 65 * 15, 118 * 15})
            QVERIFY(near(thumbnail(*w, 0)->PixelAt(Twips(x), Twips(y)), x < 900 ? Qt::red : Qt::blue, 24));
    }
}

// A picture whose orientation tag turns it a quarter clockwise is drawn and
// measured upright: its left half ends on top.
void PagesTest::cameraPictureIsShownUpright()
{
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, 200, 200, Qt::red);
    PictureFolder folder;
    QImageWriter writer(folder.at(QStringLiteral("Turned.JPG")), "JPEG");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    QVERIFY(writer.write(image));
    const Pictures::Decoded loaded =
        Pictures::Decode(QFile::encodeName(folder.at(QStringLiteral("Turned.JPG"))).toStdString(), 100);
    QVERIFY(loaded && loaded.picture->fileSize == QSize(200, 400) && loaded.picture->image.size() == QSize(50, 100));
    auto w = startIn(folder.path());
    QVERIFY(near(thumbnail(*w, 0)->PixelAt(900_tw, 300_tw), Qt::red, 24) &&
            near(thumbnail(*w, 0)->PixelAt(900_tw, 1400_tw), Qt::blue, 24));
}

QTEST_MAIN(PagesTest)

#include "tst_pages.moc"
