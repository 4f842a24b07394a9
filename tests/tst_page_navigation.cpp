// Moving between pages: the page arrows, what a page change clears of a pass
// it cut short, the file list, and page changes made in the middle of a pass.

#include "TestSupport.h"

#include "Colors.h"

#include <QtTest>

using namespace TestSupport;

namespace {

// Compares the grid with page `page` of a folder of `count` numbered
// pictures, drawn completely; returns the first difference.
QString pageMismatch(Kalvio& w, int page, int count)
{
    if (w.tags.pageIndex != page)
        return QStringLiteral("page index %1").arg(w.tags.pageIndex.value_or(-1));
    for (int i = 0; i < Kalvio::CellCount; ++i) {
        const int k = page * Kalvio::CellCount + i;
        const bool filled = k < count;
        if (w.Okno[i]->Caption() != (filled ? numberedName(k) : QString()))
            return QStringLiteral("caption of cell %1: %2").arg(i).arg(w.Okno[i]->Caption());
        if (filled ? !cellIsFilledWith(w, i, colorFor(k)) : !cellIsBlank(w, i))
            return QStringLiteral("picture of cell %1").arg(i);
        if (w.Obr[i]->mousePointer() != (filled ? MousePointer::Custom : MousePointer::Arrow))
            return QStringLiteral("pointer of cell %1").arg(i);
    }
    return {};
}

// What the grid shows, cell by cell, to tell whether anything changed.
struct CellLook {
    QImage canvas;
    QString caption;
    MousePointer pointer;
    bool operator==(const CellLook&) const = default;
};

QList<CellLook> lookOf(Kalvio& w)
{
    QList<CellLook> look;
    for (int i = 0; i < Kalvio::CellCount; ++i)
        look.append({w.Obr[i]->canvas(), w.Okno[i]->Caption(), w.Obr[i]->mousePointer()});
    return look;
}

// True when a cell's canvas shows only the background: nothing drawn or
// printed on it.
bool isBlank(const QImage& canvas, int backColor)
{
    const QRgb background = ToQColor(backColor).rgb() | 0xFF000000u;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if ((canvas.pixel(x, y) | 0xFF000000u) != background)
                return false;
        }
    }
    return true;
}

// The arrows shown: back, forward.
std::pair<bool, bool> arrows(Kalvio& w)
{
    return {w.Nazad->Visible(), w.Vpred->Visible()};
}

// The yields a pass of page `page` makes for cells first to last.
QList<QPoint> yieldsOf(int page, int first, int last)
{
    QList<QPoint> yields;
    for (int cell = first; cell <= last; ++cell)
        yields.append(QPoint(page, cell));
    return yields;
}

} // namespace

class PageNavigationTest : public QObject {
    Q_OBJECT

private slots:
    void arrowsShowWhereAnotherPageLies();
    void pageChangeClearsTheCellsAnInterruptedPassLeft();
    void fileListShowsThePageOfTheChosenFile();
    void pageArrowDuringAPassWins();
    void fileChosenDuringAPassWins();
};

void PageNavigationTest::arrowsShowWhereAnotherPageLies()
{
    PictureFolder folder;
    folder.addFile(QStringLiteral("none/notes.txt"));
    addNumberedPictures(folder, QStringLiteral("one"), 10);
    addNumberedPictures(folder, QStringLiteral("three"), 50);
    auto w = startIn(folder.at(QStringLiteral("three")));
    using Arrows = std::pair<bool, bool>;
    QCOMPARE(arrows(*w), Arrows(false, true));
    QCOMPARE(w->Strana->Caption(), QStringLiteral("1 z 3"));

    w->Vpred_Click();
    QCOMPARE(w->Strana->Caption(), QStringLiteral("2 z 3"));
    QCOMPARE(arrows(*w), Arrows(true, true));
    QCOMPARE(pageMismatch(*w, 1, 50), QString());
    w->Vpred_Click();
    QCOMPARE(w->Strana->Caption(), QStringLiteral("3 z 3"));
    QCOMPARE(arrows(*w), Arrows(true, false));
    QCOMPARE(pageMismatch(*w, 2, 50), QString());
    // No page beyond the last: nothing moves.
    w->Vpred_Click();
    QCOMPARE(pageMismatch(*w, 2, 50), QString());

    w->Nazad_Click();
    QCOMPARE(arrows(*w), Arrows(true, true));
    QCOMPARE(pageMismatch(*w, 1, 50), QString());
    w->Nazad_Click();
    QCOMPARE(arrows(*w), Arrows(false, true));
    QCOMPARE(w->Strana->Caption(), QStringLiteral("1 z 3"));
    QCOMPARE(pageMismatch(*w, 0, 50), QString());
    w->Nazad_Click();
    QCOMPARE(pageMismatch(*w, 0, 50), QString());

    // One page, and no page: both arrows go, also where both were shown.
    w->Vpred_Click();
    QCOMPARE(arrows(*w), Arrows(true, true));
    w->Dir1->setPath(folder.at(QStringLiteral("one")));
    QCOMPARE(w->tags.pageCount, 1);
    QCOMPARE(arrows(*w), Arrows(false, false));
    w->Dir1->setPath(folder.at(QStringLiteral("three")));
    w->Vpred_Click();
    QCOMPARE(arrows(*w), Arrows(true, true));
    w->Dir1->setPath(folder.at(QStringLiteral("none")));
    QCOMPARE(w->tags.pageCount, 0);
    QCOMPARE(arrows(*w), Arrows(false, false));
}

void PageNavigationTest::pageChangeClearsTheCellsAnInterruptedPassLeft()
{
    PictureFolder folder;
    addNumberedPictures(folder, QStringLiteral("p"), 72);
    auto w = startIn(folder.at(QStringLiteral("p")));
    // What the grid shows when the new pass yields for its first cell, that
    // is, after the clearing and before anything new is drawn.
    std::optional<QList<CellLook>> atNewPass;
    int yields = 0;
    ScopedYieldHook hook([&] {
        if (yields++ == 0)
            atNewPass = lookOf(*w);
    });
    auto change = [&](void (Kalvio::*procedure)(), int reached) {
        w->tags.passCell = reached;
        atNewPass.reset();
        yields = 0;
        const QList<CellLook> before = lookOf(*w);
        (w.get()->*procedure)();
        return before;
    };

    // Forward from page 1, a pass cut short at cell 7: cells 7 to 23 lose
    // picture, name and pointer.
    w->Vpred_Click();
    QList<CellLook> before = change(&Kalvio::PageForward, 7);
    QVERIFY(atNewPass);
    for (int i = 0; i < Kalvio::CellCount; ++i) {
        const CellLook& seen = (*atNewPass)[i];
        if (i < 7) {
            QVERIFY(seen == before[i]);
        } else {
            QVERIFY2(isBlank(seen.canvas, w->Obr[i]->BackColor()), qPrintable(QString::number(i)));
            QCOMPARE(seen.caption, QString());
            QCOMPARE(seen.pointer, MousePointer::Arrow);
        }
    }
    QCOMPARE(pageMismatch(*w, 2, 72), QString());

    // Back from page 2 at cell 7: pictures only; names and pointers stay.
    before = change(&Kalvio::Dozadu, 7);
    QVERIFY(atNewPass);
    for (int i = 0; i < Kalvio::CellCount; ++i) {
        const CellLook& seen = (*atNewPass)[i];
        QCOMPARE(seen.caption, before[i].caption);
        QCOMPARE(seen.pointer, before[i].pointer);
        if (i < 7)
            QVERIFY(seen.canvas == before[i].canvas);
        else
            QVERIFY2(isBlank(seen.canvas, w->Obr[i]->BackColor()), qPrintable(QString::number(i)));
    }
    QCOMPARE(pageMismatch(*w, 1, 72), QString());

    // A pass still at cell 0, or none under way: nothing is cleared.
    for (int reached : {0, -1}) {
        before = change(&Kalvio::PageForward, reached);
        QVERIFY(atNewPass && *atNewPass == before);
        before = change(&Kalvio::Dozadu, reached);
        QVERIFY(atNewPass && *atNewPass == before);
    }

    // Forward on the last page at cell 7: the cells are cleared, the page
    // stays and no pass follows.
    w->Vpred_Click();
    QCOMPARE(pageMismatch(*w, 2, 72), QString());
    before = change(&Kalvio::PageForward, 7);
    QCOMPARE(yields, 0);
    QCOMPARE(w->tags.pageIndex, 2);
    QCOMPARE(w->Strana->Caption(), QStringLiteral("3 z 3"));
    const QList<CellLook> after = lookOf(*w);
    for (int i = 0; i < Kalvio::CellCount; ++i) {
        if (i < 7) {
            QVERIFY(after[i] == before[i]);
        } else {
            QVERIFY2(cellIsBlank(*w, i), qPrintable(QString::number(i)));
            QCOMPARE(after[i].caption, QString());
            QCOMPARE(after[i].pointer, MousePointer::Arrow);
        }
    }
}

void PageNavigationTest::fileListShowsThePageOfTheChosenFile()
{
    PictureFolder folder;
    addNumberedPictures(folder, QStringLiteral("p"), 72);
    auto w = startIn(folder.at(QStringLiteral("p")));
    w->Vpred_Click();
    int yields = 0;
    ScopedYieldHook hook([&] { ++yields; });

    // Entry 47 lies on page 1, already shown: the enlarged view closes and
    // nothing is drawn.
    w->Obr_Click(3);
    QVERIFY(w->ZoomOkno->Visible());
    const QList<CellLook> page1 = lookOf(*w);
    w->File1->setListIndex(47);
    QCOMPARE(w->File1->ListIndex(), 47);
    QVERIFY(!w->ZoomOkno->Visible());
    QCOMPARE(yields, 0);
    QCOMPARE(w->tags.pageIndex, 1);
    QVERIFY(lookOf(*w) == page1);

    // Entry 48 lies on page 2.
    w->File1->setListIndex(48);
    QCOMPARE(yields, 24);
    QCOMPARE(w->Strana->Caption(), QStringLiteral("3 z 3"));
    QCOMPARE(std::make_pair(w->Nazad->Visible(), w->Vpred->Visible()), std::make_pair(true, false));
    QCOMPARE(pageMismatch(*w, 2, 72), QString());

    // No entry chosen: no page to go to, nothing changes.
    const QList<CellLook> page2 = lookOf(*w);
    w->File1->setListIndex(-1);
    QCOMPARE(w->File1->ListIndex(), -1);
    QCOMPARE(yields, 24);
    QCOMPARE(w->tags.pageIndex, 2);
    QVERIFY(lookOf(*w) == page2);
}

void PageNavigationTest::pageArrowDuringAPassWins()
{
    PictureFolder folder;
    addNumberedPictures(folder, QStringLiteral("p"), 48);
    auto w = startIn(folder.at(QStringLiteral("p")));
    for (PictureBox* cell : w->Obr)
        cell->ClearPicture();

    // The forward arrow clicked while page 0 waits for cell 7.
    QList<QPoint> yields;
    qsizetype yieldsWhenClickReturned = -1;
    QList<CellLook> whenClickReturned;
    ScopedYieldHook hook([&] {
        yields.append(QPoint(w->tags.pageIndex.value_or(-1), w->tags.passCell.value_or(-2)));
        if (yieldsWhenClickReturned < 0 && yields.last() == QPoint(0, 7)) {
            yieldsWhenClickReturned = 0;
            w->Vpred_Click();
            yieldsWhenClickReturned = yields.size();
            whenClickReturned = lookOf(*w);
        }
    });
    w->ShowPage();

    // Page 1 drawn whole inside the click, and the old pass yielded no more
    // and changed no cell after it.
    QCOMPARE(yields, yieldsOf(0, 0, 7) + yieldsOf(1, 0, 23));
    QCOMPARE(yieldsWhenClickReturned, yields.size());
    QVERIFY(lookOf(*w) == whenClickReturned);
    QCOMPARE(pageMismatch(*w, 1, 48), QString());
    QCOMPARE(w->Strana->Caption(), QStringLiteral("2 z 2"));
    QCOMPARE(w->tags.passCell, -1);
}

void PageNavigationTest::fileChosenDuringAPassWins()
{
    PictureFolder folder;
    addNumberedPictures(folder, QStringLiteral("p"), 72);
    auto w = startIn(folder.at(QStringLiteral("p")));
    for (PictureBox* cell : w->Obr)
        cell->ClearPicture();
    w->tags.pageIndex = 2;
    w->UpdatePageArrows();

    // A file of page 0 chosen while page 2 waits for cell 9.
    QList<QPoint> yields;
    qsizetype yieldsWhenChoiceReturned = -1;
    QList<CellLook> whenChoiceReturned;
    ScopedYieldHook hook([&] {
        yields.append(QPoint(w->tags.pageIndex.value_or(-1), w->tags.passCell.value_or(-2)));
        if (yieldsWhenChoiceReturned < 0 && yields.last() == QPoint(2, 9)) {
            yieldsWhenChoiceReturned = 0;
            w->File1->setListIndex(3);
            yieldsWhenChoiceReturned = yields.size();
            whenChoiceReturned = lookOf(*w);
        }
    });
    w->ShowPage();

    QCOMPARE(yields, yieldsOf(2, 0, 9) + yieldsOf(0, 0, 23));
    QCOMPARE(yieldsWhenChoiceReturned, yields.size());
    QVERIFY(lookOf(*w) == whenChoiceReturned);
    QCOMPARE(pageMismatch(*w, 0, 72), QString());
    QCOMPARE(w->Strana->Caption(), QStringLiteral("1 z 3"));
    QCOMPARE(std::make_pair(w->Nazad->Visible(), w->Vpred->Visible()), std::make_pair(false, true));
}

QTEST_MAIN(PageNavigationTest)
#include "tst_page_navigation.moc"
