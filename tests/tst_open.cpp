// The full-screen view inside the window, the command line's options for it,
// and a folder or picture dropped on the window.

#include "TestSupport.h"

#include "CommandLine.h"

#include <QMimeData>
#include <QtTest>

using namespace TestSupport;

namespace {

const auto nameOf = [](int k) { return QStringLiteral("P%1.BMP").arg(k, 2, 10, QLatin1Char('0')); };

void fill(const PictureFolder& folder, const QString& sub, int count)
{
    for (int k = 0; k < count; ++k)
        folder.addPicture(sub + nameOf(k), QSize(32, 24), colorFor(k));
}

void drop(Kalvio& window, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = window.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &dropped);
}

} // namespace

class OpenTest : public QObject {
    Q_OBJECT
private slots:
    void leavingFullScreenOpensTheLastPicture();
    void dropOpensAFolderOrAPicture();
    void fullScreenOptions();
};

void OpenTest::leavingFullScreenOpensTheLastPicture()
{
    PictureFolder folder;
    fill(folder, QString(), 30);
    auto w = startIn(folder.path());
    w->openCell(2);
    QCOMPARE(w->fullScreenEntry(), 2);
    w->openFullScreen(w->fullScreenEntry());
    FullScreenView& full = *w->fullScreenView();
    QVERIFY(full.isVisible());
    QCOMPARE(full.entry(), 2);
    QTest::keyClick(&full, Qt::Key_End);
    QTest::keyClick(&full, Qt::Key_Left);
    QTest::keyClick(&full, Qt::Key_Escape);
    QVERIFY(!full.isVisible());
    // Picture 28 is cell 4 of the second page, open in the view.
    QCOMPARE(w->browsing().page(), 1);
    QTRY_COMPARE(w->grid().passCell(), -1);
    QVERIFY(w->browsing().viewOpen() && viewBox(*w)->isVisible());
    QCOMPARE(w->browsing().viewEntry(), 28);
    QVERIFY(viewBox(*w)->lastPrintedLine().endsWith(nameOf(28) + QStringLiteral(" --> 32 x 24 pixel")));

    // F on a focused cell: that cell's picture, full screen.
    w->closeView();
    thumbnail(*w, 5)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(thumbnail(*w, 5), Qt::Key_F);
    QVERIFY(full.isVisible());
    QCOMPARE(full.entry(), 29);
    QTest::keyClick(&full, Qt::Key_Escape);
    QCOMPARE(w->browsing().viewEntry(), 29);

    // Left on a picture of the page shown: the view opens on it there.
    w->openFullScreen(25);
    // The keys go to the view once it is the active window, not to the cell
    // that had the focus.
    QVERIFY(QTest::qWaitForWindowActive(&full));
    QTest::keyClick(&full, Qt::Key_Right);
    QTest::keyClick(&full, Qt::Key_F);
    QCOMPARE(w->browsing().page(), 1);
    QCOMPARE(w->browsing().viewEntry(), 26);
    QVERIFY(viewBox(*w)->lastPrintedLine().endsWith(nameOf(26) + QStringLiteral(" --> 32 x 24 pixel")));
}

void OpenTest::dropOpensAFolderOrAPicture()
{
    PictureFolder start, other;
    fill(start, QString(), 3);
    fill(other, QStringLiteral("sub/"), 30);
    auto w = startIn(start.path());
    drop(*w, other.at(QStringLiteral("sub")));
    QCOMPARE(folderList(*w)->Path(), other.at(QStringLiteral("sub")));
    QCOMPARE(w->browsing().entryCount(), 30);
    QTRY_COMPARE(w->grid().passCell(), -1);
    QCOMPARE(w->browsing().page(), 0);
    QVERIFY(!w->browsing().viewOpen() && !viewBox(*w)->isVisible());
    QCOMPARE(frame(*w, 0)->Caption(), nameOf(0));

    // A picture: its folder, on its page, the picture enlarged; also when the
    // folder is the one shown.
    for (const QString& folder : {start.path(), start.path()}) {
        drop(*w, folder + u'/' + nameOf(2));
        QCOMPARE(folderList(*w)->Path(), start.path());
        QTRY_COMPARE(w->grid().passCell(), -1);
        QVERIFY(w->browsing().viewOpen() && viewBox(*w)->isVisible());
        QCOMPARE(w->browsing().viewEntry(), 2);
    }
}

void OpenTest::fullScreenOptions()
{
    PictureFolder folder;
    const QString picture = folder.addPicture(QStringLiteral("a.BMP"), QSize(8, 8), Qt::red);
    const auto parse = [](std::vector<std::string> arguments) { return CommandLine::Parse(arguments); };
    CommandLine line = parse({"--fullscreen", "--delay", "0.5", picture.toStdString()});
    QVERIFY(line.action == CommandLine::Action::Run && line.fullScreen);
    QCOMPARE(line.slideshowMilliseconds, 500);
    QCOMPARE(line.picture, QStringLiteral("a.BMP"));
    line = parse({picture.toStdString()});
    QVERIFY(!line.fullScreen);
    QCOMPARE(line.slideshowMilliseconds, 4000);
    for (const std::vector<std::string>& refused : std::vector<std::vector<std::string>>{
             {"--delay"}, {"--delay", "x"}, {"--delay", "0"}, {"--delay", "-3"}, {"--delay", "nan"}, {"--fullscreen"}})
        QVERIFY(parse(refused).action == CommandLine::Action::Refuse);
}

QTEST_MAIN(OpenTest)
#include "tst_open.moc"
