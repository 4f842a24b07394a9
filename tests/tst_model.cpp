// What is browsed, without a widget: pages of 24, the pictures either way of
// the enlarged one as the window decides them, what a cell shows, where F and
// the arrow keys lead, what to decode ahead, and who hears of a change.

#include "Browsing.h"

#include <QtTest>

namespace {

// A folder of `count` pictures "0.jpg", "1.jpg", … on page `page`, its frames
// showing that page's names.
Browsing folderOf(int count, int page)
{
    QStringList names;
    for (int k = 0; k < count; ++k)
        names << QStringLiteral("%1.jpg").arg(k);
    Browsing b;
    b.setListing(QStringLiteral("/pictures"), names, page);
    for (int i = 0; i < Browsing::CellsPerPage; ++i)
        b.setShownName(i, b.nameAt(Browsing::entryOf(page, i)));
    return b;
}

Browsing viewing(Browsing b, int entry)
{
    b.setViewEntry(entry);
    b.setViewOpen(true);
    return b;
}

using Ways = Browsing::Ways;

} // namespace

class ModelTest : public QObject {
    Q_OBJECT
private slots:
    void pagesAndEntries();
    void pageArrows();
    void viewStepsFollowTheFrames();
    void viewStepsAtThePageEdges();
    void decodeAhead();
    void whatCellsShowAndWhereKeysLead();
    void observersHearEveryChange();
};

void ModelTest::pagesAndEntries()
{
    const int counts[][2] = {{0, 0}, {1, 1}, {24, 1}, {25, 2}, {48, 2}, {49, 3}, {100000, 4167}};
    for (const auto& [entries, pages] : counts)
        QCOMPARE(Browsing::pageCountFor(entries), pages);
    QCOMPARE(Browsing::pageOf(23), 0);
    QCOMPARE(Browsing::pageOf(24), 1);
    QCOMPARE(Browsing::cellOf(53), 5);
    QCOMPARE(Browsing::entryOf(2, 5), 53);
    const Browsing b = folderOf(50, 0);
    QCOMPARE(b.clampedEntry(-3), 0);
    QCOMPARE(b.clampedEntry(50), 49);
    QCOMPARE(folderOf(50, 7).page(), std::optional<int>(0)); // no page 7: the first
    QCOMPARE(b.counterText(), QStringLiteral("1 z 3"));
    QCOMPARE(folderOf(0, 0).counterText(), QString());
    QCOMPARE(b.nameAt(49), QStringLiteral("49.jpg"));
    QCOMPARE(b.nameAt(50) + b.nameAt(-1), QString());
    QCOMPARE(b.entryNamed(QStringLiteral("31.jpg")), 31);
    QCOMPARE(b.entryNamed(QStringLiteral("31.JPG")), -1);
}

void ModelTest::pageArrows()
{
    // Three pages: a next one from 0 and 1, a previous one from 1 and 2; one page or none: neither.
    QCOMPARE(folderOf(50, 0).pageArrowsNow(), (Ways{false, true}));
    QCOMPARE(folderOf(50, 1).pageArrowsNow(), (Ways{true, true}));
    QCOMPARE(folderOf(50, 2).pageArrowsNow(), (Ways{true, false}));
    QCOMPARE(folderOf(24, 0).pageArrowsNow(), (Ways{false, false}));
    QCOMPARE(Browsing().pageArrowsNow(), (Ways{false, false}));
}

// Within a page the view steps where the neighbouring frame shows a name:
// not where the list ends, nor where a pass has not written the name yet.
void ModelTest::viewStepsFollowTheFrames()
{
    QCOMPARE(viewing(folderOf(50, 0), 5).viewStepsNow(), (Ways{true, true}));
    QCOMPARE(viewing(folderOf(50, 2), 49).viewStepsNow(), (Ways{true, false}));
    Browsing drawing = viewing(folderOf(50, 1), 30);
    drawing.setShownName(5, QString());
    drawing.setShownName(7, QString());
    QCOMPARE(drawing.viewStepsNow(), (Ways{false, false}));
    // A name from the page shown before still counts: the frames decide.
    drawing.setShownName(7, QStringLiteral("7.jpg"));
    QVERIFY(drawing.canStepForward());
    // An empty folder's cell numbers count as names too.
    Browsing empty = viewing(Browsing(), 3);
    for (int i = 0; i < Browsing::CellsPerPage; ++i)
        empty.setShownName(i, QString::number(i));
    QCOMPARE(empty.viewStepsNow(), (Ways{true, true}));
}

// At a page's first and last cell the view steps where a page lies that way,
// whatever the frames show; the page is the view's entry's, which is not yet
// the page shown when the view steps back over the edge.
void ModelTest::viewStepsAtThePageEdges()
{
    QCOMPARE(viewing(folderOf(50, 0), 23).viewStepsNow(), (Ways{true, true}));
    QCOMPARE(viewing(folderOf(50, 1), 24).viewStepsNow(), (Ways{true, true}));
    QCOMPARE(viewing(folderOf(50, 0), 0).viewStepsNow(), (Ways{false, true}));
    QCOMPARE(viewing(folderOf(48, 1), 47).viewStepsNow(), (Ways{true, false}));
    Browsing cleared = viewing(folderOf(50, 1), 47);
    for (int i = 0; i < Browsing::CellsPerPage; ++i)
        cleared.setShownName(i, QString());
    QCOMPARE(cleared.viewStepsNow(), (Ways{false, true}));
    // Stepped back from page 2 to entry 47 before page 1 is shown.
    const Browsing goingBack = viewing(folderOf(50, 2), 47);
    QCOMPARE(goingBack.viewCell(), 23);
    QVERIFY(goingBack.canStepForward());
}

void ModelTest::decodeAhead()
{
    // The view's neighbours, next first, only while it is open and within the list.
    QCOMPARE(viewing(folderOf(50, 1), 30).viewNeighbours(), (std::vector<int>{31, 29}));
    QCOMPARE(viewing(folderOf(50, 0), 0).viewNeighbours(), (std::vector<int>{1}));
    QCOMPARE(viewing(folderOf(50, 2), 49).viewNeighbours(), (std::vector<int>{48}));
    Browsing closed = viewing(folderOf(50, 1), 30);
    closed.setViewOpen(false);
    QVERIFY(closed.viewNeighbours().empty());
    QVERIFY(folderOf(50, 1).viewNeighbours().empty());
    // The next page, then the previous one, of those that exist.
    QCOMPARE(folderOf(50, 1).neighbourPages(), (std::vector<int>{2, 0}));
    QCOMPARE(folderOf(50, 0).neighbourPages(), (std::vector<int>{1}));
    QCOMPARE(folderOf(50, 2).neighbourPages(), (std::vector<int>{1}));
    QVERIFY(folderOf(10, 0).neighbourPages().empty());
}

// A cell shows a picture when its frame names one longer than a placeholder,
// and it is that of its entry on the page shown for F; F opens the view's
// picture, else the focused cell's, else the view's last on this page, else
// the page's first; the arrows stay in the row and the grid.
void ModelTest::whatCellsShowAndWhereKeysLead()
{
    Browsing b = folderOf(50, 1);
    QCOMPARE(b.entryShownAt(4), 28);
    b.setShownName(4, QStringLiteral("3.jpg")); // left by a pass over page 0
    QCOMPARE(b.pictureShownAt(4), QStringLiteral("3.jpg"));
    QCOMPARE(b.entryShownAt(4), -1);
    b.setShownName(5, QStringLiteral("5"));
    QCOMPARE(b.pictureShownAt(5), QString());
    QCOMPARE(b.fullScreenEntry(-1), 24);
    QCOMPARE(b.fullScreenEntry(4), 24); // its name is another page's
    QCOMPARE(b.fullScreenEntry(9), 33);
    b.setViewEntry(30);
    QCOMPARE(b.fullScreenEntry(-1), 30);
    b.setViewEntry(3);
    QCOMPARE(b.fullScreenEntry(-1), 24);
    b.setViewOpen(true);
    QCOMPARE(b.fullScreenEntry(9), 3);
    QCOMPARE(folderOf(0, 0).fullScreenEntry(-1), -1);

    QCOMPARE(Browsing::cellAfterArrow(-1, 1), 0);
    QCOMPARE(Browsing::cellAfterArrow(5, 1), 5);   // the row's right end
    QCOMPARE(Browsing::cellAfterArrow(6, -1), 6);  // the row's left end
    QCOMPARE(Browsing::cellAfterArrow(20, 6), 20); // the bottom
    QCOMPARE(Browsing::cellAfterArrow(7, -6), 1);
    QCOMPARE(Browsing::cellAfterArrow(7, 1), 8);
}

void ModelTest::observersHearEveryChange()
{
    Browsing b;
    QList<std::pair<Browsing::Change, int>> heard;
    b.observe([&heard](Browsing::Change change, int cell) { heard.append({change, cell}); });
    b.setListing(QStringLiteral("/p"), {QStringLiteral("a.jpg")});
    b.setShownName(3, QStringLiteral("a.jpg"));
    b.decidePageArrows();
    b.setViewOpen(true);
    b.decideViewSteps();
    using C = Browsing::Change;
    QCOMPARE(heard, (QList<std::pair<C, int>>{{C::Listing, -1},
                                              {C::Page, -1},
                                              {C::ShownName, 3},
                                              {C::PageArrows, -1},
                                              {C::View, -1},
                                              {C::ViewSteps, -1}}));
}

QTEST_APPLESS_MAIN(ModelTest)
#include "tst_model.moc"
