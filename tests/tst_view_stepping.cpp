// Stepping from picture to picture in the enlarged view, within a page and
// across page edges, and closing the view.

#include "TestSupport.h"

#include "Colors.h"
#include "EventYield.h"

#include <QtTest>

using namespace TestSupport;

namespace {

// Colours that stay apart for any two of up to 363 pictures (colorFor repeats
// almost exactly every 23 pictures, which is the distance across a page edge).
QColor shade(int k)
{
    return QColor(30 + 20 * (k % 11), 30 + 20 * ((k / 11) % 11), 30 + 20 * (k / 121));
}

QString nameOf(int k)
{
    return QStringLiteral("P%1.BMP").arg(k, 3, 10, QLatin1Char('0'));
}

// count small pictures P000.BMP ... in one folder, each of its own shade.
void fill(const PictureFolder& folder, int count, const QString& under = QString())
{
    for (int k = 0; k < count; ++k)
        folder.addPicture(under + nameOf(k), QSize(32, 24), shade(k));
}

QColor shown(Kalvio& w)
{
    return w.ZoomOkno->PixelAt(4000, 3950);
}

bool gridIsNormal(Kalvio& w)
{
    return gridHasLook(w, RGB(128, 128, 128), true);
}

// The view shows picture k of the folder from cell `cell` of page `page`.
void checkShows(Kalvio& w, int page, int cell, int k)
{
    QVERIFY(w.ZoomOkno->isVisible());
    QCOMPARE(w.tags.pageIndex, page);
    QCOMPARE(w.tags.zoomCell, cell);
    QCOMPARE(w.Okno[cell]->Caption(), nameOf(k));
    QVERIFY2(near(shown(w), shade(k), 2), qPrintable(shown(w).name()));
    QVERIFY(w.ZoomOkno->lastPrintedLine().endsWith(u'/' + nameOf(k) + QStringLiteral(" --> 32 x 24 pixel")));
    QVERIFY(gridHasLook(w, RGB(180, 180, 180), false));
}

// Page `page` is drawn completely: counter, names and thumbnails of its cells.
void checkPageDrawn(Kalvio& w, int page, int pages)
{
    QCOMPARE(w.tags.passCell, -1);
    QCOMPARE(w.Strana->Caption(), QStringLiteral("%1 z %2").arg(page + 1).arg(pages));
    for (int cell : {0, 11, 23}) {
        QCOMPARE(w.Okno[cell]->Caption(), nameOf(24 * page + cell));
        QVERIFY(near(cellCentre(w, cell), shade(24 * page + cell), 2));
    }
}

} // namespace

class ViewSteppingTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { EventYield::setHook(nullptr); }
    void stepsWithinAPage();
    void stepsAcrossPageEdges();
    void closingRestoresTheGrid();
    void brokenFileIsPassedOver();
    void otherControlsCloseTheViewFirst();
};

void ViewSteppingTest::stepsWithinAPage()
{
    PictureFolder folder;
    fill(folder, 34);
    auto w = startIn(folder.path());

    w->Obr_Click(5);
    w->LupaPlus_Click();
    checkShows(*w, 0, 6, 6);
    w->LupaMinus_Click();
    checkShows(*w, 0, 5, 5);

    // Back to the first cell of the first page, then nothing to go back to.
    w->Obr_Click(1);
    QVERIFY(w->LupaMinus->isVisible());
    w->LupaMinus_Click();
    checkShows(*w, 0, 0, 0);
    QVERIFY(w->LupaPlus->isVisible());
    QVERIFY(!w->LupaMinus->isVisible());
    const QStringList before = frameCaptions(*w);
    w->LupaMinus_Click();
    checkShows(*w, 0, 0, 0);
    QCOMPARE(frameCaptions(*w), before);
    QCOMPARE(w->tags.passCell, -1);

    // The last page holds 10 pictures: nothing after its cell 9.
    w->ZoomOkno_Click();
    w->PageForward();
    w->Obr_Click(8);
    QVERIFY(w->LupaPlus->isVisible());
    w->LupaPlus_Click();
    checkShows(*w, 1, 9, 33);
    QVERIFY(!w->LupaPlus->isVisible());
    QVERIFY(w->LupaMinus->isVisible());
    w->LupaPlus_Click();
    checkShows(*w, 1, 9, 33);
}

void ViewSteppingTest::stepsAcrossPageEdges()
{
    PictureFolder folder;
    fill(folder, 288);
    auto w = startIn(folder.path());
    QCOMPARE(w->tags.pageCount, 12);
    w->PageForward();
    w->PageForward();
    w->Obr_Click(23);
    checkShows(*w, 2, 23, 71);
    QVERIFY(w->LupaPlus->isVisible());

    // Forward over the edge: the next page is drawn and opens its cell 0.
    w->LupaPlus_Click();
    checkShows(*w, 3, 0, 72);
    checkPageDrawn(*w, 3, 12);
    QVERIFY(w->LupaMinus->isVisible());

    // Back over the edge: the last picture of the previous page opens at
    // once, before that page is drawn under it.
    QColor shownAtPass;
    QStringList captionsAtPass;
    EventYield::setHook([&] {
        if (w->tags.passCell == 0 && captionsAtPass.isEmpty()) {
            shownAtPass = shown(*w);
            captionsAtPass = frameCaptions(*w);
        }
    });
    w->LupaMinus_Click();
    EventYield::setHook(nullptr);
    QVERIFY(near(shownAtPass, shade(71), 2));
    QCOMPARE(captionsAtPass.first(), nameOf(48));
    QCOMPARE(captionsAtPass.last(), nameOf(71));
    checkShows(*w, 2, 23, 71);
    checkPageDrawn(*w, 2, 12);
    QVERIFY(w->LupaPlus->isVisible());

    // The last cells of the last page: nothing after cell 23.
    w->ZoomOkno_Click();
    w->File1->setListIndex(11 * 24 + 5);
    QCOMPARE(w->tags.pageIndex, 11);
    w->Obr_Click(22);
    QVERIFY(w->LupaPlus->isVisible());
    w->LupaPlus_Click();
    checkShows(*w, 11, 23, 287);
    QVERIFY(!w->LupaPlus->isVisible());
    w->LupaPlus_Click();
    checkShows(*w, 11, 23, 287);
    checkPageDrawn(*w, 11, 12);
}

void ViewSteppingTest::closingRestoresTheGrid()
{
    PictureFolder folder;
    fill(folder, 24);
    auto w = startIn(folder.path());
    const QStringList names = frameCaptions(*w);

    // No pass under way, or one that has only begun: no caption changes.
    for (int passCell : {-1, 0}) {
        w->Obr_Click(3);
        w->tags.passCell = passCell;
        w->ZoomOkno_Click();
        QVERIFY(!w->ZoomOkno->isVisible());
        QVERIFY(gridIsNormal(*w));
        QCOMPARE(frameCaptions(*w), names);
    }

    // Closed while a pass is at cell 5: the cells it has not reached lose
    // their names, and the pass, going on, does not reopen the view at cell 8.
    w->Obr_Click(8);
    QStringList atClose;
    EventYield::setHook([&] {
        if (w->tags.passCell == 5 && atClose.isEmpty()) {
            w->ZoomOkno_Click();
            atClose = frameCaptions(*w);
            QVERIFY(gridIsNormal(*w));
        }
    });
    w->ShowPage();
    EventYield::setHook(nullptr);
    QCOMPARE(atClose.mid(0, 6), names.mid(0, 6));
    QCOMPARE(atClose.mid(6), QStringList(18, QString()));
    QVERIFY(!w->ZoomOkno->isVisible());
    QCOMPARE(frameCaptions(*w), names);
    QCOMPARE(w->tags.passCell, -1);
}

void ViewSteppingTest::brokenFileIsPassedOver()
{
    PictureFolder folder;
    fill(folder, 12);
    folder.addFile(nameOf(9), QByteArray("broken"));
    folder.addFile(nameOf(11), QByteArray());
    auto w = startIn(folder.path());

    w->Obr_Click(8);
    w->LupaPlus_Click();
    // Still open on the broken file's cell, so the next step goes on from there.
    QVERIFY(w->ZoomOkno->isVisible());
    QCOMPARE(w->tags.zoomCell, 9);
    QVERIFY(gridHasLook(*w, RGB(180, 180, 180), false));
    QVERIFY(w->LupaPlus->isVisible());
    w->LupaPlus_Click();
    checkShows(*w, 0, 10, 10);

    // A broken last picture: the arrows follow the cell it stands in.
    QVERIFY(w->LupaPlus->isVisible());
    w->LupaPlus_Click();
    QVERIFY(w->ZoomOkno->isVisible());
    QCOMPARE(w->tags.zoomCell, 11);
    QVERIFY(!w->LupaPlus->isVisible());
    QVERIFY(w->LupaMinus->isVisible());
    w->LupaMinus_Click();
    checkShows(*w, 0, 10, 10);
}

void ViewSteppingTest::otherControlsCloseTheViewFirst()
{
    PictureFolder folder;
    fill(folder, 30, QStringLiteral("A/"));
    fill(folder, 5, QStringLiteral("B/"));
    auto w = startIn(folder.path());
    QCOMPARE(w->Dir1->Path(), folder.at(QStringLiteral("A")));

    // What the view looked like when the new page's pass began.
    int passes = 0;
    bool openAtPass = false;
    EventYield::setHook([&] {
        if (w->tags.passCell == 0) {
            ++passes;
            openAtPass = openAtPass || w->ZoomOkno->isVisible() || !gridIsNormal(*w);
        }
    });
    auto check = [&](const char* what, int page, const std::function<void()>& act) {
        w->Obr_Click(2);
        passes = 0;
        act();
        QVERIFY2(passes == 1 && !openAtPass, what);
        QVERIFY2(!w->ZoomOkno->isVisible() && gridIsNormal(*w), what);
        QVERIFY2(w->tags.pageIndex == page, what);
    };
    check("forward arrow", 1, [&] { w->Vpred_Click(); });
    check("back arrow", 0, [&] { w->Nazad_Click(); });
    check("file on another page", 1, [&] { w->File1->setListIndex(27); });
    check("folder", 0, [&] { w->Dir1->setPath(folder.at(QStringLiteral("B"))); });
    EventYield::setHook(nullptr);
    QCOMPARE(w->File1->ListCount(), 5);

    // A file on the page shown: no new pass, but the view closes all the same.
    w->Obr_Click(1);
    w->File1->setListIndex(3);
    QVERIFY(!w->ZoomOkno->isVisible());
    QVERIFY(gridIsNormal(*w));
}

QTEST_MAIN(ViewSteppingTest)
#include "tst_view_stepping.moc"
