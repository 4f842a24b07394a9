// The folder list and the file list, and what a change of folder does to the
// window: the lists follow, the first page is set up, odd folders and names
// neither crash nor disappear.

#include "FileList.h"
#include "FolderList.h"
#include "FolderService.h"
#include "Kalvio.h"
#include "NativeName.h"
#include "Pictures.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

using namespace TestSupport;

namespace {

QStringList entries(const FileList& list)
{
    QStringList names;
    for (int k = 0; k < list.ListCount(); ++k)
        names << list.List(k);
    return names;
}

QStringList entryPaths(const FolderList& list)
{
    QStringList paths;
    for (int row = 0; row < list.count(); ++row)
        paths << list.EntryPath(row);
    return paths;
}

// Creates an empty file whose name is given as raw bytes.
bool touch(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    return fd >= 0 && ::close(fd) == 0;
}

} // namespace

class FolderListsTest : public QObject {
    Q_OBJECT

private slots:
    void changeOfFolderSetsUpTheFirstPage_data();
    void changeOfFolderSetsUpTheFirstPage();
    void changeEventOnlyForAnotherFolder();
    void fileListPatternOrderAndBounds();
    void folderListShowsTheWayDownAndOpensEntries();
    void nameThatIsNotUtf8IsListedAndLoads();
    void deletedOrUnreadableCurrentDirectory();
    void hundredThousandFilesListAndPage();
};

void FolderListsTest::changeOfFolderSetsUpTheFirstPage_data()
{
    QTest::addColumn<int>("pictures");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("counter");
    QTest::newRow("0") << 0 << 0 << QString();
    QTest::newRow("24") << 24 << 1 << QStringLiteral("1 z 1");
    QTest::newRow("25") << 25 << 2 << QStringLiteral("1 z 2");
}

void FolderListsTest::changeOfFolderSetsUpTheFirstPage()
{
    QFETCH(int, pictures);
    QFETCH(int, pages);
    QFETCH(QString, counter);

    // Start on the second page of another folder with a picture enlarged, so
    // that every reset of the change shows.
    PictureFolder first;
    for (int k = 0; k < 30; ++k)
        first.addPicture(QStringLiteral("F%1.jpg").arg(k), QSize(6, 4), colorFor(k));
    auto window = startIn(first.path());
    window->Vpred_Click();
    QCOMPARE(window->tags.pageIndex, std::optional<int>(1));
    window->Obr_Click(0);
    QVERIFY(window->ZoomOkno->Visible());

    PictureFolder target;
    QStringList names;
    for (int k = 0; k < pictures; ++k) {
        names << QStringLiteral("IMG%1.gif").arg(k + 1);
        target.addPicture(names.last(), QSize(6, 4), colorFor(k));
    }
    target.addFile(QStringLiteral("readme.txt"));

    window->Dir1->setPath(target.path());
    QVERIFY(window->ZoomOkno->isHidden());
    QCOMPARE(window->File1->Path(), target.path());
    QCOMPARE(window->File1->ListCount(), pictures);
    QCOMPARE(window->tags.pageIndex, std::optional<int>(0));
    QCOMPARE(window->tags.pageCount, std::optional<int>(pages));
    QVERIFY(window->Nazad->isHidden());
    QCOMPARE(window->Vpred->isHidden(), pages < 2);
    QCOMPARE(window->Strana->Caption(), counter);
    for (int i = 0; i < Kalvio::CellCount; ++i)
        QCOMPARE(window->Okno[i]->Caption(), pictures == 0 ? QString::number(i) : names.value(i));
    if (pictures > 0)
        QVERIFY(near(cellCentre(*window, 23), colorFor(23)));
    else
        QVERIFY(cellIsBlank(*window, 0));
}

void FolderListsTest::changeEventOnlyForAnotherFolder()
{
    PictureFolder folder;
    folder.addPicture(QStringLiteral("a.jpg"), QSize(4, 4), Qt::red);
    folder.addPicture(QStringLiteral("sub/b.jpg"), QSize(4, 4), Qt::blue);
    auto window = startIn(folder.path());
    QCOMPARE(window->Dir1->Path(), folder.at(QStringLiteral("sub")));

    QSignalSpy changes(window->Dir1, &FolderList::Change);
    window->Dir1->setPath(folder.at(QStringLiteral("sub")));
    window->Dir1->setPath(folder.at(QStringLiteral("sub/")));
    QCOMPARE(changes.count(), 0);
    QCOMPARE(window->File1->List(0), QStringLiteral("b.jpg"));

    // The event comes inside the assignment, once.
    bool assigning = false;
    bool raisedInside = false;
    connect(window->Dir1, &FolderList::Change, window.get(), [&] { raisedInside = assigning; });
    assigning = true;
    window->Dir1->setPath(folder.path());
    assigning = false;
    QCOMPARE(changes.count(), 1);
    QVERIFY(raisedInside);
    QCOMPARE(window->File1->Path(), folder.path());
    QCOMPARE(window->File1->List(0), QStringLiteral("a.jpg"));
}

void FolderListsTest::fileListPatternOrderAndBounds()
{
    PictureFolder folder;
    for (const char* name : {"IMG10.jpg", "d.png", "c.GIF", "e.txt", "IMG2.JPG", "B.Bmp", "a.jpg", ".hidden.jpg",
                             "jpg", "x.jpg.txt"})
        folder.addFile(QLatin1String(name));
    // A folder named like a picture is no file.
    folder.makeFolder(QStringLiteral("folder.jpg"));

    FileList list;
    list.setPattern(QStringLiteral("*.JPG;*.BMP;*.GIF"));
    list.setPath(folder.path());
    const QStringList expected{QStringLiteral("a.jpg"), QStringLiteral("B.Bmp"), QStringLiteral("c.GIF"),
                               QStringLiteral("IMG2.JPG"), QStringLiteral("IMG10.jpg")};
    QCOMPARE(entries(list), expected);
    QCOMPARE(list.ListCount(), 5);
    QCOMPARE(list.count(), 5);
    QCOMPARE(list.item(4)->text(), QStringLiteral("IMG10.jpg"));
    QCOMPARE(list.List(5), QString());
    QCOMPARE(list.List(100000), QString());
    QCOMPARE(list.List(-1), QString());
}

void FolderListsTest::folderListShowsTheWayDownAndOpensEntries()
{
    PictureFolder folder;
    for (const char* name : {"sub10", "Sub2", "alpha", ".git", ".cache"})
        folder.makeFolder(QLatin1String(name));
    folder.addFile(QStringLiteral("Sub2/a.jpg"));
    folder.addFile(QStringLiteral("file.jpg"));
    auto window = startIn(folder.path());
    // Sub2 holds the only file below the start folder.
    const QString shown = folder.at(QStringLiteral("Sub2"));
    QCOMPARE(window->Dir1->Path(), shown);

    window->Dir1->setPath(folder.path());
    QStringList expected{QStringLiteral("/")};
    QString reached;
    for (const QString& part : folder.path().split(u'/', Qt::SkipEmptyParts))
        expected << (reached += u'/' + part);
    const int current = int(expected.size()) - 1;
    for (const char* name : {"alpha", "Sub2", "sub10"})
        expected << folder.at(QLatin1String(name));
    QCOMPARE(entryPaths(*window->Dir1), expected);
    QCOMPARE(window->Dir1->currentRow(), current);
    QVERIFY(window->Dir1->item(current)->text().trimmed() == folder.path().section(u'/', -1));
    QVERIFY(window->Dir1->item(current + 2)->text().trimmed() == QStringLiteral("Sub2"));

    // Enter on an entry opens it, and the window follows.
    window->activateWindow();
    window->Dir1->setFocus();
    window->Dir1->setCurrentRow(current + 2);
    QTest::keyClick(window->Dir1, Qt::Key_Return);
    QCOMPARE(window->Dir1->Path(), shown);
    QCOMPARE(window->File1->Path(), shown);
    QCOMPARE(window->File1->List(0), QStringLiteral("a.jpg"));

    // A double-click on a folder of the way down goes up to it.
    QListWidgetItem* parent = window->Dir1->item(current);
    window->Dir1->scrollToItem(parent);
    const QPoint at = window->Dir1->visualItemRect(parent).center();
    // As the window system delivers it: a click, then the double-click.
    QTest::mouseClick(window->Dir1->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(window->Dir1->Path(), shown);
    QTest::mouseDClick(window->Dir1->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(window->Dir1->Path(), folder.path());
    QCOMPARE(window->File1->List(0), QStringLiteral("file.jpg"));
}

void FolderListsTest::nameThatIsNotUtf8IsListedAndLoads()
{
    PictureFolder folder;
    const QString written = folder.addPicture(QStringLiteral("written.jpg"), QSize(8, 6), Qt::red);
    const std::string badName = "bad\xff.jpg";
    const std::string badPath = QFile::encodeName(folder.path()).toStdString() + "/" + badName;
    QCOMPARE(std::rename(QFile::encodeName(written).constData(), badPath.c_str()), 0);
    // An empty file with a broken name next to it, created byte for byte.
    const std::string brokenPath = QFile::encodeName(folder.path()).toStdString() + "/z\xc3(.jpg";
    QVERIFY(touch(brokenPath));
    // The temporary folder's own clean-up cannot see such names.
    const auto removeBadNames = qScopeGuard([&] {
        ::unlink(badPath.c_str());
        ::unlink(brokenPath.c_str());
    });

    auto window = startIn(folder.path());
    QCOMPARE(window->File1->ListCount(), 2);
    const QString listed = window->File1->List(0);
    QCOMPARE(NativeName::Encode(listed), badName);
    QCOMPARE(window->File1->item(0)->text(), QStringLiteral("bad\uFFFD.jpg"));
    QCOMPARE(window->File1->item(1)->text(), QStringLiteral("z\uFFFD(.jpg"));

    const auto picture = Pictures::Load(FolderService::JoinPath(window->File1->Path(), listed));
    QVERIFY(picture.has_value());
    QCOMPARE(picture->fileSize, QSize(8, 6));
    QVERIFY(near(cellCentre(*window, 0), Qt::red));
    QCOMPARE(window->Okno[0]->Caption(), listed);
}

void FolderListsTest::deletedOrUnreadableCurrentDirectory()
{
    {
        PictureFolder folder;
        const QString doomed = folder.makeFolder(QStringLiteral("doomed"));
        const CurrentDirectory inDoomed(doomed);
        QCOMPARE(::rmdir(QFile::encodeName(doomed).constData()), 0);
        Kalvio window;
        window.Form_Load();
        QVERIFY(window.isVisible());
        QCOMPARE(window.File1->ListCount(), 0);
        QCOMPARE(window.Dir1->count(), 0);
        QCOMPARE(window.tags.pageCount, std::optional<int>(0));
        QCOMPARE(window.Strana->Caption(), QString());
    }
    {
        PictureFolder folder;
        const QString locked = folder.makeFolder(QStringLiteral("locked"));
        folder.addPicture(QStringLiteral("locked/a.jpg"), QSize(4, 4), Qt::red);
        folder.addFile(QStringLiteral("locked/sub/b.jpg"));
        const QByteArray native = QFile::encodeName(locked);
        QCOMPARE(::chmod(native.constData(), 0), 0);
        {
            const CurrentDirectory inLocked(locked);
            const WithoutRootRights asUser;
            Kalvio window;
            window.Form_Load();
            QVERIFY(window.isVisible());
            QCOMPARE(window.Dir1->Path(), locked);
            QCOMPARE(window.File1->ListCount(), 0);
            QVERIFY(!entryPaths(*window.Dir1).contains(locked + QStringLiteral("/sub")));
            QCOMPARE(window.tags.pageCount, std::optional<int>(0));
        }
        ::chmod(native.constData(), 0755);
    }
}

void FolderListsTest::hundredThousandFilesListAndPage()
{
    constexpr int Files = 100000;
    // Made in memory where there is a memory file system: a hundred thousand
    // files are made there in a fraction of the time they take on disk.
    const QFileInfo memory(QStringLiteral("/dev/shm"));
    const QString parent = memory.isDir() && memory.isWritable() ? memory.filePath() : QDir::tempPath();
    const QTemporaryDir folder(parent + QStringLiteral("/kalvio-many-XXXXXX"));
    QVERIFY(folder.isValid());
    const std::string base = QFile::encodeName(folder.path()).toStdString() + "/IMG_";
    char number[16];
    for (int k = 0; k < Files; ++k) {
        std::snprintf(number, sizeof number, "%05d.JPG", k);
        if (!touch(base + number))
            QFAIL("cannot create the files");
    }
    PictureFolder start;
    auto window = startIn(start.path());

    QElapsedTimer clock;
    clock.start();
    window->Dir1->setPath(folder.path());
    const qint64 listed = clock.elapsed();
    QCOMPARE(window->File1->ListCount(), Files);
    QCOMPARE(window->File1->List(Files - 1), QStringLiteral("IMG_99999.JPG"));
    QCOMPARE(window->tags.pageIndex, std::optional<int>(0));
    QCOMPARE(window->tags.pageCount, std::optional<int>(4167));
    QCOMPARE(window->Strana->Caption(), QStringLiteral("1 z 4167"));
    QVERIFY(!window->Vpred->isHidden());
    QCOMPARE(window->Okno[23]->Caption(), QStringLiteral("IMG_00023.JPG"));

    // The last file's page is reached like any other.
    window->File1->setListIndex(Files - 1);
    QCOMPARE(window->tags.pageIndex, std::optional<int>(4166));
    QCOMPARE(window->Strana->Caption(), QStringLiteral("4167 z 4167"));
    QCOMPARE(window->Okno[15]->Caption(), QStringLiteral("IMG_99999.JPG"));
    QCOMPARE(window->Okno[16]->Caption(), QString());
    QVERIFY2(listed < 20000, qPrintable(QStringLiteral("listing took %1 ms").arg(listed)));
}

QTEST_MAIN(FolderListsTest)
#include "tst_folder_lists.moc"
