// Start-up: the texts, colours and state the load handler leaves behind, the
// order it works in, and the two ways the first page is set up (through the
// folder list's change event when the search moved below the start folder,
// by the handler itself when it did not).

#include "Colors.h"
#include "Kalvio.h"
#include "TestSupport.h"

#include <QMenuBar>
#include <QRegularExpression>
#include <QtTest>

using namespace TestSupport;

namespace {

// Fills folder with n small pictures named P01.jpg, P02.jpg, ... and returns
// their names in list order.
QStringList addPictures(const PictureFolder& folder, const QString& subfolder, int n)
{
    QStringList names;
    for (int k = 1; k <= n; ++k) {
        const QString name = QStringLiteral("P%1.jpg").arg(k, 2, 10, QLatin1Char('0'));
        folder.addPicture(subfolder.isEmpty() ? name : subfolder + u'/' + name, QSize(8, 6), colorFor(k));
        names << name;
    }
    return names;
}

// Records what the window looks like at the moment it is first shown.
class ShowWatcher : public QObject {
public:
    explicit ShowWatcher(Kalvio* window) : window_(window) { window->installEventFilter(this); }

    bool seen = false;
    QString title, counter, folder;
    double width = 0;
    int backColor = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Show && !seen) {
            seen = true;
            title = window_->windowTitle();
            counter = window_->Strana->Caption();
            folder = window_->Dir1->Path();
            width = window_->Width();
            backColor = window_->BackColor();
        }
        return false;
    }

private:
    Kalvio* window_;
};

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void textsColoursAndLists();
    void stateWhenTheWindowIsShown();
    void firstPage_data();
    void firstPage();
    void noFilesAnywhereShowsTheLastFolderReached();
    void visibilityAndKeyboardFocus();
};

void StartupTest::textsColoursAndLists()
{
    PictureFolder folder;
    addPictures(folder, QString(), 3);
    auto window = startIn(folder.path());

    QCOMPARE(window->windowTitle(), QStringLiteral("Kalvio ver 1.1"));
    const QList<QAction*> menus = window->menuBar()->actions();
    QCOMPARE(menus.size(), 2);
    QCOMPARE(menus[0]->text(), QStringLiteral("Soubor"));
    QCOMPARE(menus[1]->text(), QStringLiteral("Pomoc"));
    QCOMPARE(window->File->actions(), QList<QAction*>{window->Konec});
    QCOMPARE(window->Konec->text(), QStringLiteral("Konec"));
    QCOMPARE(window->Pomoc->actions(), QList<QAction*>{window->Autor});
    QCOMPARE(window->Autor->text(), QStringLiteral("O Aplikaci"));
    QCOMPARE(window->KoniecLabel->Caption(), QStringLiteral("Konec"));
    QCOMPARE(window->StranaText->Caption(), QStringLiteral("Obrazovka"));

    QCOMPARE(window->BackColor(), RGB(156, 194, 217));
    QCOMPARE(window->BackColor(), 0xD9C29C);
    QCOMPARE(window->client()->palette().color(QPalette::Window), QColor(156, 194, 217));

    // The company, an empty line, then the web address indented by eleven blanks.
    static const QRegularExpression credits(QStringLiteral("^Velorin\r\n\r\n {11}[^ \r\n]+$"));
    QVERIFY2(credits.match(window->tags.credits).hasMatch(), qPrintable(window->tags.credits));
    QCOMPARE(window->tags.waitText, QStringLiteral("  Čekejte..."));

    QCOMPARE(window->File1->Pattern(), QStringLiteral("*.JPG;*.BMP;*.GIF"));
    QCOMPARE(window->Dir1->Path(), folder.path());
    QCOMPARE(window->File1->Path(), folder.path());
    QCOMPARE(window->File1->ListCount(), 3);
    QVERIFY(window->isVisible());
}

void StartupTest::stateWhenTheWindowIsShown()
{
    PictureFolder folder;
    addPictures(folder, QStringLiteral("sub"), 2);
    const CurrentDirectory inFolder(folder.path());
    Kalvio window;
    ShowWatcher watcher(&window);
    window.Form_Load();

    // Texts, colour and layout come first, the folder search after the window
    // is on the screen: it still shows the start folder then.
    QVERIFY(watcher.seen);
    QCOMPARE(watcher.title, QStringLiteral("Kalvio ver 1.1"));
    QCOMPARE(watcher.counter, QStringLiteral(" 0 z 0"));
    QCOMPARE(watcher.width, 14600.0);
    QCOMPARE(watcher.backColor, RGB(156, 194, 217));
    QCOMPARE(watcher.folder, folder.path());
    QCOMPARE(window.Dir1->Path(), folder.at(QStringLiteral("sub")));
    QCOMPARE(window.Strana->Caption(), QStringLiteral("1 z 1"));
}

void StartupTest::firstPage_data()
{
    QTest::addColumn<bool>("inSubfolder");
    QTest::addColumn<int>("pictures");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("counter");
    for (const bool sub : {false, true}) {
        const char* where = sub ? "below the start folder" : "in the start folder";
        QTest::addRow("0 pictures %s", where) << sub << 0 << 0 << QString();
        QTest::addRow("24 pictures %s", where) << sub << 24 << 1 << QStringLiteral("1 z 1");
        QTest::addRow("25 pictures %s", where) << sub << 25 << 2 << QStringLiteral("1 z 2");
    }
}

void StartupTest::firstPage()
{
    QFETCH(bool, inSubfolder);
    QFETCH(int, pictures);
    QFETCH(int, pages);
    QFETCH(QString, counter);

    PictureFolder folder;
    const QString subfolder = inSubfolder ? QStringLiteral("sub") : QString();
    const QStringList names = addPictures(folder, subfolder, pictures);
    // Files of other kinds are not listed, but make the subfolder one that holds files.
    folder.addFile(inSubfolder ? QStringLiteral("sub/notes.txt") : QStringLiteral("notes.txt"));

    const CurrentDirectory inFolder(folder.path());
    Kalvio window;
    QSignalSpy changes(window.Dir1, &FolderList::Change);
    window.Form_Load();

    // Moving below the start folder raises the change event, which sets up the
    // page; staying in it raises none and the load handler does it.
    QCOMPARE(changes.count(), inSubfolder ? 1 : 0);
    QCOMPARE(window.Dir1->Path(), folder.at(subfolder));
    QCOMPARE(window.File1->Path(), folder.at(subfolder));
    QCOMPARE(window.File1->ListCount(), pictures);
    QCOMPARE(window.tags.pageIndex, std::optional<int>(0));
    QCOMPARE(window.tags.pageCount, std::optional<int>(pages));
    QCOMPARE(window.Strana->Caption(), counter);
    QVERIFY(window.Nazad->isHidden());
    QCOMPARE(window.Vpred->isHidden(), pages < 2);
    QVERIFY(window.ZoomOkno->isHidden());

    for (int i = 0; i < Kalvio::CellCount; ++i) {
        const QString caption = pictures == 0 ? QString::number(i) : names.value(i);
        QCOMPARE(window.Okno[i]->Caption(), caption);
    }
    if (pictures > 0) {
        QCOMPARE(window.tags.passCell, std::optional<int>(-1));
        QVERIFY(near(cellCentre(window, 0), colorFor(1)));
        QVERIFY(near(cellCentre(window, 23), colorFor(24)));
    } else {
        QVERIFY(cellIsBlank(window, 0));
    }
}

void StartupTest::noFilesAnywhereShowsTheLastFolderReached()
{
    PictureFolder folder;
    folder.makeFolder(QStringLiteral("A/A1"));
    folder.makeFolder(QStringLiteral("B/B1"));
    folder.makeFolder(QStringLiteral("B/B2"));
    // Files of the start folder itself are never counted.
    addPictures(folder, QString(), 2);
    auto window = startIn(folder.path());

    QCOMPARE(window->Dir1->Path(), folder.at(QStringLiteral("B/B2")));
    QCOMPARE(window->File1->Path(), folder.at(QStringLiteral("B/B2")));
    QCOMPARE(window->File1->ListCount(), 0);
    QCOMPARE(window->tags.pageIndex, std::optional<int>(0));
    QCOMPARE(window->tags.pageCount, std::optional<int>(0));
    QCOMPARE(window->Okno[0]->Caption(), QStringLiteral("0"));
}

void StartupTest::visibilityAndKeyboardFocus()
{
    PictureFolder folder;
    addPictures(folder, QString(), 2);
    const CurrentDirectory inFolder(folder.path());
    Kalvio window;

    // Before any procedure runs only the enlarged view and the load buffer are hidden.
    QVERIFY(window.ZoomOkno->isHidden());
    QVERIFY(window.Vstup->isHidden());
    const auto controls = window.client()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(controls.size(), 2 * Kalvio::CellCount + 11);
    for (QWidget* control : controls + window.ZoomOkno->findChildren<QWidget*>()) {
        if (control != window.ZoomOkno && control != window.Vstup)
            QVERIFY2(!control->isHidden(), control->metaObject()->className());
    }

    window.Form_Load();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), window.Dir1);
    QTest::keyClick(window.Dir1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window.File1);
    QTest::keyClick(window.File1, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), window.Dir1);
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
