// The search for the first folder below the start folder that holds files.

#include "Kalvio.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

namespace {

void link(const QString& target, const QString& linkPath)
{
    QVERIFY2(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(linkPath).constData()) == 0,
             qPrintable(linkPath));
}

} // namespace

class FolderSearchTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { window_ = std::make_unique<Kalvio>(); }
    void cleanupTestCase() { window_.reset(); }

    void staysWhereThereIsNoSubfolder();
    void firstFolderWithFilesDepthFirst();
    void lastFolderReachedWhenNoneHoldsFiles();
    void hiddenFoldersArePassedOver();
    void linksAreFollowedButLoopsEnd();
    void unreadableFolderCountsAsEmpty();

private:
    QString search(const QString& path) { return window_->HladajPrvyFile(path); }

    std::unique_ptr<Kalvio> window_;
};

void FolderSearchTest::staysWhereThereIsNoSubfolder()
{
    PictureFolder empty;
    QCOMPARE(search(empty.path()), empty.path());

    PictureFolder withPictures;
    withPictures.addPicture(QStringLiteral("a.jpg"), QSize(4, 4), Qt::red);
    QCOMPARE(search(withPictures.path()), withPictures.path());

    // A path that does not exist comes back exactly as given.
    const QString missing = withPictures.at(QStringLiteral("no such/folder/"));
    QCOMPARE(search(missing), missing);
    QCOMPARE(search(QString()), QString());
}

void FolderSearchTest::firstFolderWithFilesDepthFirst()
{
    {
        // A holds nothing, B one file: B.
        PictureFolder root;
        root.makeFolder(QStringLiteral("A"));
        root.addFile(QStringLiteral("B/photo.jpg"));
        QCOMPARE(search(root.path()), root.at(QStringLiteral("B")));
    }
    {
        // A is searched completely before B is tested: A1.
        PictureFolder root;
        root.addFile(QStringLiteral("A/A1/photo.jpg"));
        root.addFile(QStringLiteral("B/photo.jpg"));
        QCOMPARE(search(root.path()), root.at(QStringLiteral("A/A1")));
    }
    {
        // Files of any kind count, hidden ones included; the start folder's
        // own files never do.
        PictureFolder root;
        root.addFile(QStringLiteral("top.jpg"));
        root.addFile(QStringLiteral("A/notes.txt"));
        root.addFile(QStringLiteral("B/photo.jpg"));
        QCOMPARE(search(root.path()), root.at(QStringLiteral("A")));
        PictureFolder hiddenFile;
        hiddenFile.addFile(QStringLiteral("A/.directory"));
        hiddenFile.addFile(QStringLiteral("B/photo.jpg"));
        QCOMPARE(search(hiddenFile.path()), hiddenFile.at(QStringLiteral("A")));
    }
    {
        // Subfolders in the folder list's order: numbers by value, letters
        // regardless of case.
        PictureFolder root;
        root.addFile(QStringLiteral("dir10/a.jpg"));
        root.addFile(QStringLiteral("dir9/a.jpg"));
        QCOMPARE(search(root.path()), root.at(QStringLiteral("dir9")));
        PictureFolder letters;
        letters.addFile(QStringLiteral("beta/a.jpg"));
        letters.addFile(QStringLiteral("Alpha/a.jpg"));
        QCOMPARE(search(letters.path()), letters.at(QStringLiteral("Alpha")));
    }
}

void FolderSearchTest::lastFolderReachedWhenNoneHoldsFiles()
{
    PictureFolder root;
    root.makeFolder(QStringLiteral("A/A1"));
    root.makeFolder(QStringLiteral("B/B1/B11"));
    root.makeFolder(QStringLiteral("B/B2"));
    root.addFile(QStringLiteral("start.jpg"));
    QCOMPARE(search(root.path()), root.at(QStringLiteral("B/B2")));
}

void FolderSearchTest::hiddenFoldersArePassedOver()
{
    // A home folder: caches and repositories come first by name but are not
    // what the user wants to see.
    PictureFolder home;
    home.addFile(QStringLiteral(".cache/thumb.jpg"));
    home.addFile(QStringLiteral(".git/HEAD"));
    home.addFile(QStringLiteral("Pictures/holiday.jpg"));
    QCOMPARE(search(home.path()), home.at(QStringLiteral("Pictures")));

    // Only hidden subfolders: as if there were none.
    PictureFolder onlyHidden;
    onlyHidden.addFile(QStringLiteral(".cache/thumb.jpg"));
    QCOMPARE(search(onlyHidden.path()), onlyHidden.path());
}

void FolderSearchTest::linksAreFollowedButLoopsEnd()
{
    PictureFolder elsewhere;
    elsewhere.addFile(QStringLiteral("shots/a.jpg"));
    {
        // A link to a real folder with files is followed like a folder.
        PictureFolder root;
        root.makeFolder(QStringLiteral("A"));
        link(elsewhere.at(QStringLiteral("shots")), root.at(QStringLiteral("A/link")));
        root.addFile(QStringLiteral("B/a.jpg"));
        QCOMPARE(search(root.path()), root.at(QStringLiteral("A/link")));
    }
    QElapsedTimer clock;
    clock.start();
    {
        // Links back up the tree, two to a level: a search that followed them
        // would branch again and again until the kernel's link limit.
        PictureFolder root;
        root.makeFolder(QStringLiteral("A/A1"));
        for (const char* name : {"up1", "up2"}) {
            link(root.path(), root.at(QStringLiteral("A/") + QLatin1String(name)));
            link(root.at(QStringLiteral("A")), root.at(QStringLiteral("A/A1/") + QLatin1String(name)));
        }
        root.addFile(QStringLiteral("B/a.jpg"));
        QCOMPARE(search(root.path()), root.at(QStringLiteral("B")));
    }
    {
        // Two folders linking to each other, no files anywhere: the search
        // still ends, in a folder of the tree.
        PictureFolder root;
        root.makeFolder(QStringLiteral("A"));
        root.makeFolder(QStringLiteral("B"));
        link(root.at(QStringLiteral("B")), root.at(QStringLiteral("A/toB")));
        link(root.at(QStringLiteral("A")), root.at(QStringLiteral("B/toA")));
        const QString found = search(root.path());
        QVERIFY2(found.startsWith(root.path() + u'/'), qPrintable(found));
        QVERIFY(QFileInfo(found).isDir());
    }
    QVERIFY2(clock.elapsed() < 10000, "the search over link loops took too long");
}

void FolderSearchTest::unreadableFolderCountsAsEmpty()
{
    PictureFolder root;
    root.addFile(QStringLiteral("A/a.jpg"));
    root.addFile(QStringLiteral("A/A1/a.jpg"));
    root.addFile(QStringLiteral("B/b.jpg"));
    const QByteArray locked = QFile::encodeName(root.at(QStringLiteral("A")));
    QCOMPARE(::chmod(locked.constData(), 0), 0);
    QString found;
    QString inLocked;
    {
        const WithoutRootRights asUser;
        found = search(root.path());
        inLocked = search(root.at(QStringLiteral("A")));
    }
    ::chmod(locked.constData(), 0755);
    QCOMPARE(found, root.at(QStringLiteral("B")));
    QCOMPARE(inLocked, root.at(QStringLiteral("A")));
}

QTEST_MAIN(FolderSearchTest)
#include "tst_folder_search.moc"
