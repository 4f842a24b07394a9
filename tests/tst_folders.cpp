// The folder search, the two lists, a change of folder, native names: odd folders and names neither crash nor vanish.

#include "FirstFolderSearch.h"
#include "FolderLog.h"
#include "FolderService.h"
#include "NativeName.h"
#include "NaturalOrder.h"
#include "ShownText.h"
#include "TestSupport.h"

#include <QCollator>
#include <QDirIterator>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

using namespace TestSupport;

namespace {

// The name of every entry of the file list, and the folder of every entry of the folder list.
QStringList files(const FileList& list)
{
    QStringList names;
    for (int k = 0; k < list.ListCount(); ++k)
        names << list.List(k);
    return names;
}

QStringList folders(const FolderList& list)
{
    QStringList paths;
    for (int row = 0; row < list.count(); ++row)
        paths << list.EntryPath(row);
    return paths;
}

// Counts the folder listings made while it lives.
struct ListingCounter {
    int listings = 0;
    ListingCounter()
    {
        FolderService::setListingHook([this](const QString&) { ++listings; });
    }
    ~ListingCounter() { FolderService::setListingHook(nullptr); }
};

int foldersIn(const QString& root)
{
    int count = 1;
    for (QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks,
                         QDirIterator::Subdirectories);
         it.hasNext(); it.next())
        ++count;
    return count;
}

void searchRow(const char* name, const QStringList& tree, const char* found)
{
    QTest::newRow(name) << tree << QString::fromUtf8(found);
}

} // namespace

class FoldersTest : public QObject {
    Q_OBJECT
private slots:
    void search_data();
    void search();
    void searchReadsEachFolderOnce();
    void changeOfFolder_data();
    void changeOfFolder();
    void listsOrderAndOpen();
    void naturalOrderOfAnyNames();
    void fileListClicksOnlyWhenPicked();
    void fileListClickOnTheChosenEntry();
    void failuresAreLogged();
    void deletedOrUnreadableStart();
    void hundredThousandFiles();
    void nativeNamesRoundTrip();
    void namesAreShownForWhatTheyAre();
};

void FoldersTest::search_data()
{
    // "d/" a folder, "l>t" a link l to t, "-d" d made unreadable, "@d" the search starts in d, else a file.
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("found");
    searchRow("no subfolder, pictures", {"a.jpg"}, "");
    searchRow("missing path", {"@no such/folder/"}, "no such/folder/");
    searchRow("A empty, B with a file", {"A/", "B/photo.jpg"}, "B");
    searchRow("A1 before B", {"A/A1/photo.jpg", "B/photo.jpg"}, "A/A1");
    searchRow("any file counts, not the start's own", {"top.jpg", "A/notes.txt", "B/photo.jpg"}, "A");
    searchRow("hidden files count", {"A/.directory", "B/photo.jpg"}, "A");
    searchRow("numbers by value", {"dir10/a.jpg", "dir9/a.jpg"}, "dir9");
    searchRow("letters regardless of case", {"beta/a.jpg", "Alpha/a.jpg"}, "Alpha");
    searchRow("nothing anywhere: last folder", {"A/A1/", "B/B1/B11/", "B/B2/", "start.jpg"}, "B/B2");
    searchRow("hidden folders passed over", {".cache/thumb.jpg", ".git/HEAD", "Pictures/holiday.jpg"}, "Pictures");
    searchRow("only hidden folders", {".cache/thumb.jpg"}, "");
    searchRow("link followed", {"A/", ".store/shots/a.jpg", "A/link>.store/shots", "B/a.jpg"}, "A/link");
    // Two links a level back up: following them would branch until the kernel's link limit.
    searchRow("links up the tree", {"A/A1/", "A/up1>", "A/up2>", "A/A1/up1>A", "A/A1/up2>A", "B/a.jpg"}, "B");
    searchRow("folders linking to each other", {"A/", "B/", "A/toB>B", "B/toA>A"}, "B/toA");
    searchRow("unreadable folder", {"A/a.jpg", "A/A1/a.jpg", "B/b.jpg", "-A"}, "B");
    searchRow("unreadable start", {"A/A1/a.jpg", "-A", "@A"}, "A");
}

void FoldersTest::search()
{
    QFETCH(QStringList, tree);
    QFETCH(QString, found);
    PictureFolder root;
    QString start = root.path();
    QByteArray locked;
    for (const QString& entry : tree) {
        const QString at = root.at(entry.mid(entry.startsWith(u'@') || entry.startsWith(u'-')).section(u'>', 0, 0));
        if (entry.startsWith(u'@'))
            start = at;
        else if (entry.startsWith(u'-'))
            QCOMPARE(::chmod(locked = QFile::encodeName(at), 0), 0);
        else if (entry.contains(u'>'))
            QCOMPARE(::symlink(QFile::encodeName(root.at(entry.section(u'>', 1))), QFile::encodeName(at)), 0);
        else if (entry.endsWith(u'/'))
            root.makeFolder(entry);
        else
            root.addFile(entry);
    }
    const auto unlock = qScopeGuard([&] { ::chmod(locked, 0755); });
    const int folderCount = foldersIn(root.path());
    const WithoutRootRights asUser;
    const ListingCounter counter;
    QCOMPARE(FirstFolderSearch(start), root.at(found));
    // However the links run, no folder is read twice.
    QVERIFY2(counter.listings <= folderCount, qPrintable(QString::number(counter.listings)));
}

void FoldersTest::searchReadsEachFolderOnce()
{
    // 22 levels, each with two links to the next and no file: 2^22 ways down, 23 folders.
    constexpr int levels = 22;
    PictureFolder root;
    const auto level = [&](int k) { return root.makeFolder(QStringLiteral("L%1").arg(k)); };
    for (int k = 0; k < levels; ++k) {
        for (const char* link : {"/a", "/b"})
            QCOMPARE(::symlink(QFile::encodeName(level(k + 1)), QFile::encodeName(level(k) + link)), 0);
    }
    const ListingCounter counter;
    // Nothing holds a file: the search ends at the bottom, by the last link of every level.
    QCOMPARE(FirstFolderSearch(level(0)), level(0) + QString(QStringLiteral("/b")).repeated(levels));
    QCOMPARE(counter.listings, levels + 1);
}

void FoldersTest::changeOfFolder_data()
{
    QTest::addColumn<int>("pictures");
    QTest::addColumn<int>("pages");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("24") << 24 << 1;
    QTest::newRow("25") << 25 << 2;
}

void FoldersTest::changeOfFolder()
{
    QFETCH(int, pictures);
    QFETCH(int, pages);
    PictureFolder first, target;
    for (int k = 0; k < 30; ++k)
        first.addPicture(QStringLiteral("F%1.jpg").arg(k), QSize(6, 4), colorFor(k));
    for (int k = 0; k < pictures; ++k)
        target.addPicture(QStringLiteral("IMG%1.gif").arg(k + 1), QSize(6, 4), colorFor(k));
    target.addFile(QStringLiteral("readme.txt"));
    // On the second page with a picture enlarged, so that every reset of the change shows.
    auto w = startIn(first.path());
    w->pageForwardArrowClicked();
    w->openCell(0);
    QVERIFY(viewBox(*w)->Visible() && w->browsing().page() == 1);

    // The folder shown, opened again in the folder list, is not listed again.
    QSignalSpy listed(&w->source(), &FolderSource::listed);
    folderList(*w)->setCurrentRow(folderList(*w)->currentRow()); // its own entry
    QTest::keyClick(folderList(*w), Qt::Key_Return);
    QVERIFY(listed.isEmpty() && viewBox(*w)->Visible() && w->browsing().page() == 1);
    // Another folder is listed once, and shown from its first page.
    w->openPath(target.path() + u'/');
    QCOMPARE(listed.count(), 1);
    QCOMPARE(listed.at(0).at(0).toString(), target.path());
    QVERIFY(viewBox(*w)->isHidden() && pageBackArrow(*w)->isHidden() &&
            pageForwardArrow(*w)->isHidden() == (pages < 2));
    QCOMPARE(folderList(*w)->Path(), target.path());
    QCOMPARE(fileList(*w)->ListCount(), pictures);
    QCOMPARE(w->browsing().page(), std::optional<int>(0));
    QCOMPARE(w->browsing().pageCount(), std::optional<int>(pages));
    QCOMPARE(pageCounter(*w)->Caption(), pages ? QStringLiteral("1 z %1").arg(pages) : QString());
    for (int i = 0; i < Kalvio::CellCount; ++i)
        QCOMPARE(frame(*w, i)->Caption(), pictures ? QStringLiteral("IMG%1.gif").arg(i + 1) : QString::number(i));
    QVERIFY(pictures ? near(cellCentre(*w, 23), colorFor(23)) : cellIsBlank(*w, 0));
}

void FoldersTest::listsOrderAndOpen()
{
    PictureFolder root;
    for (const char* name : {"sub10/", "alpha/", ".git/", ".cache/", "folder.jpg/", "Sub2/a.jpg", "IMG10.jpg", "d.png",
                             "c.GIF", "e.txt", "IMG2.JPG", "B.Bmp", "a.jpg", ".hidden.jpg", "jpg", "x.jpg.txt",
                             "IMG02.jpg", "IMG100000000000000000000.gif", "IMG99999999999999999999.gif"})
        QLatin1String(name).endsWith('/') ? void(root.makeFolder(name)) : void(root.addFile(name));
    // Names that are not UTF-8, made byte for byte; the temporary folder's own clean-up cannot see them.
    const std::string base = QFile::encodeName(root.path()).toStdString(), bad = "/bad\xff.jpg", broken = "/z\xc3(.jpg";
    QCOMPARE(::rename(QFile::encodeName(root.addPicture("red.jpg", QSize(8, 6), Qt::red)), (base + bad).c_str()), 0);
    QVERIFY(std::ofstream(base + broken));
    const auto removeBadNames = qScopeGuard([&] { ::unlink((base + bad).c_str()), ::unlink((base + broken).c_str()); });
    // Links count as what they point to: a picture, and a folder with a picture's name.
    QCOMPARE(::symlink("a.jpg", QFile::encodeName(root.at("link.jpg"))), 0);
    QCOMPARE(::symlink("alpha", QFile::encodeName(root.at("shots.jpg"))), 0);
    auto w = startIn(root.path());
    QStringList way; // the folders from "/" down to the start folder
    for (QString up = root.path(); way.value(0) != "/"; up = QFileInfo(up).path())
        way.prepend(up);
    const int rootRow = int(way.size()) - 1;
    QCOMPARE(folders(*folderList(*w)), (way + QStringList{root.at("Sub2")}));

    // A click, then the double-click, as the window system delivers them, on a folder of the way down.
    folderList(*w)->scrollToItem(folderList(*w)->item(rootRow));
    const QPoint at = folderList(*w)->visualItemRect(folderList(*w)->item(rootRow)).center();
    QTest::mouseClick(folderList(*w)->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(folderList(*w)->Path(), root.at("Sub2"));
    QTest::mouseDClick(folderList(*w)->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(folderList(*w)->Path(), root.path());
    for (const char* sub : {"alpha", "folder.jpg", "shots.jpg", "Sub2", "sub10"}) // hidden folders left out
        way << root.at(sub);
    QCOMPARE(folders(*folderList(*w)), way);
    QCOMPARE(folderList(*w)->currentRow(), rootRow);
    QCOMPARE(folderList(*w)->item(rootRow + 4)->text().trimmed(), "Sub2");
    const QStringList expected = QStringList{"a.jpg", "B.Bmp", NativeName::Decode(bad.substr(1))} +
                                 QString("c.GIF IMG02.jpg IMG2.JPG IMG10.jpg IMG99999999999999999999.gif "
                                         "IMG100000000000000000000.gif link.jpg")
                                     .split(u' ') +
                                 QStringList{NativeName::Decode(broken.substr(1))};
    QCOMPARE(files(*fileList(*w)), expected);
    const auto shown = [&](int row) { return fileList(*w)->model()->index(row, 0).data().toString(); };
    QCOMPARE(shown(2) + shown(10), "bad\uFFFD.jpgz\uFFFD(.jpg");
    QCOMPARE(fileList(*w)->List(11) + fileList(*w)->List(-1) + fileList(*w)->List(100000), QString());
    QVERIFY(frame(*w, 2)->Caption() == expected[2] && near(cellCentre(*w, 2), Qt::red));
    // Any other wildcard, spaced, beside a plain one.
    QWidget lists;
    FolderSource source(&lists);
    QSignalSpy listed(&source, &FolderSource::listed);
    source.setPattern(QStringLiteral("img?.jpg ; *.Bmp"));
    source.open(root.path());
    QCOMPARE(listed.at(0).at(1).toStringList(), (QStringList{"B.Bmp", "IMG2.JPG"}));

    folderList(*w)->setCurrentRow(rootRow + 4);
    QTest::keyClick(folderList(*w), Qt::Key_Return);
    QCOMPARE(folderList(*w)->Path(), root.at("Sub2"));
    QCOMPARE(files(*fileList(*w)), QStringList{"a.jpg"});
}

void FoldersTest::naturalOrderOfAnyNames()
{
    // Czech order: č after c, "ch" after h, an accent or a capital counts only between names alike otherwise;
    // numbers by value. English puts č with c and "ch" among the c's.
    const QLocale czech(QLocale::Czech, QLocale::Czechia);
    const QStringList mixed =
        QString("zebra Žirafa čáp cesta Ústí usti hrad chata ananas Áda IMG10.jpg IMG2.JPG img02.jpg").split(u' ');
    QStringList names = mixed;
    NaturalOrder::Sort(names, czech);
    QCOMPARE(names.join(u' '), "Áda ananas cesta čáp hrad chata img02.jpg IMG2.JPG IMG10.jpg usti Ústí zebra Žirafa");
    names = mixed;
    NaturalOrder::Sort(names, QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(names.join(u' '), "Áda ananas čáp cesta chata hrad img02.jpg IMG2.JPG IMG10.jpg usti Ústí zebra Žirafa");
    // The environment's collation decides; where it names no language, the window's own language does.
    const QLocale system = QLocale::system().collation();
    QCOMPARE(NaturalOrder::Language(), system.language() == QLocale::C ? czech : system);

    // Any names: the language's order with numbers by value, as the collator itself gives it, then exact text.
    QCollator collator(czech);
    collator.setNumericMode(true);
    const QString alphabet = QStringLiteral("0000123789aAzZcCčČhHéÉß-_.~@ \U0001F600") + QChar(0xDCFF);
    QRandomGenerator random(77);
    names.clear();
    for (int k = 0; k < 4000; ++k) {
        QString name;
        for (int n = random.bounded(0, 9); n > 0; --n)
            name += alphabet[random.bounded(int(alphabet.size()))];
        names << name;
    }
    NaturalOrder::Sort(names, czech);
    for (qsizetype k = 1; k < names.size(); ++k) {
        const int order = collator.compare(names[k - 1], names[k]);
        QVERIFY2(order < 0 || (order == 0 && names[k - 1] <= names[k]), qPrintable(names[k - 1] + u'|' + names[k]));
    }
    // Runs of digits longer than any count that fits in one byte, still by value.
    names.clear();
    QStringList byValue;
    for (int length : {254, 255, 256, 511, 512})
        byValue << QString(length, u'9') << u'1' + QString(length, u'0') + u'a';
    names = byValue;
    std::reverse(names.begin(), names.end());
    NaturalOrder::Sort(names, czech);
    QCOMPARE(names, byValue);
}

void FoldersTest::fileListClicksOnlyWhenPicked()
{
    PictureFolder folder;
    addNumberedPictures(folder, QStringLiteral("many"), 100);
    folder.addFile(QStringLiteral("other/a.jpg"));
    auto w = startIn(folder.at(QStringLiteral("many")));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    // Page 3 of 5 by the arrows, a picture open: nothing chosen in the list.
    w->pageForwardArrowClicked();
    w->pageForwardArrowClicked();
    w->openCell(1);
    QSignalSpy clicks(fileList(*w), &FileList::Click);
    QVERIFY(folderList(*w)->hasFocus());

    // Tab moves the focus into the list and chooses nothing.
    QTest::keyClick(folderList(*w), Qt::Key_Tab);
    QVERIFY(fileList(*w)->hasFocus());
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(fileList(*w)->ListIndex(), -1);
    QVERIFY(viewBox(*w)->Visible() && pageCounter(*w)->Caption() == "3 z 5");
    // An arrow key picks the first entry, a mouse click another.
    QTest::keyClick(fileList(*w), Qt::Key_Down);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(fileList(*w)->ListIndex() == 0 && !viewBox(*w)->Visible() && pageCounter(*w)->Caption() == "1 z 5");
    const QModelIndex entry = fileList(*w)->model()->index(30, 0);
    fileList(*w)->scrollTo(entry);
    QTest::mouseClick(fileList(*w)->viewport(), Qt::LeftButton, {}, fileList(*w)->visualRect(entry).center());
    QVERIFY(clicks.count() == 2 && fileList(*w)->ListIndex() == 30 && pageCounter(*w)->Caption() == "2 z 5");

    // Another folder fills the list anew: nothing is chosen, and focus leaving and coming back changes nothing.
    w->openPath(folder.at(QStringLiteral("many")) + QStringLiteral("/../other"));
    QTest::keyClick(fileList(*w), Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(folderList(*w), Qt::Key_Tab);
    QVERIFY(fileList(*w)->hasFocus() && fileList(*w)->ListIndex() == -1 && clicks.count() == 2);
}

// Every mouse click on an entry is a choice, the entry already chosen too:
// its page comes back after paging away, and an open view closes. One click
// raises Click once, whether or not it moves the chosen entry.
void FoldersTest::fileListClickOnTheChosenEntry()
{
    PictureFolder folder;
    addNumberedPictures(folder, QStringLiteral("two"), 30);
    auto w = startIn(folder.at(QStringLiteral("two")));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QSignalSpy clicks(fileList(*w), &FileList::Click);
    const auto clickEntry = [&](int k) {
        const QModelIndex entry = fileList(*w)->model()->index(k, 0);
        fileList(*w)->scrollTo(entry);
        QTest::mouseClick(fileList(*w)->viewport(), Qt::LeftButton, {}, fileList(*w)->visualRect(entry).center());
    };
    const auto click = [](QWidget* control) { QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(10, 10)); };

    clickEntry(1);
    QVERIFY(clicks.count() == 1 && fileList(*w)->ListIndex() == 1 && pageCounter(*w)->Caption() == "1 z 2");
    click(pageForwardArrow(*w));
    QCOMPARE(pageCounter(*w)->Caption(), QStringLiteral("2 z 2"));
    clickEntry(1);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(pageCounter(*w)->Caption(), QStringLiteral("1 z 2"));

    click(thumbnail(*w, 4));
    QVERIFY(w->browsing().viewOpen() && w->browsing().viewEntry() == 4);
    clickEntry(1);
    QVERIFY(clicks.count() == 3 && !w->browsing().viewOpen() && !viewBox(*w)->isVisible());
    // Another entry: one Click for the one click.
    clickEntry(26);
    QVERIFY(clicks.count() == 4 && fileList(*w)->ListIndex() == 26 && pageCounter(*w)->Caption() == "2 z 2");
}

void FoldersTest::failuresAreLogged()
{
    QVERIFY(!folderLog().isInfoEnabled());
    QLoggingCategory::setFilterRules(QStringLiteral("kalvio.folders.info=true"));
    const auto quiet = qScopeGuard([] { QLoggingCategory::setFilterRules(QString()); });
    PictureFolder root;
    const QString locked = root.at(NativeName::Decode("locked\xFF\n"));
    QCOMPARE(::mkdir(NativeName::Encode(locked).c_str(), 0), 0);
    const auto remove = qScopeGuard([&] { ::rmdir(NativeName::Encode(locked).c_str()); });
    QCOMPARE(::symlink("gone", QFile::encodeName(root.at("dangling.jpg"))), 0);
    const WithoutRootRights asUser;
    QTest::ignoreMessage(QtInfoMsg, qPrintable("cannot list " + root.path() + "/locked\\xFF\\x0A: Permission denied"));
    QCOMPARE(FolderService::FileNames(locked), QStringList());
    // A dangling link counts as a file, and its failed query is told.
    QTest::ignoreMessage(QtInfoMsg,
                         qPrintable("cannot query " + root.at("dangling.jpg") + ": No such file or directory"));
    QCOMPARE(FolderService::FileNames(root.path()), QStringList{"dangling.jpg"});
}

void FoldersTest::deletedOrUnreadableStart()
{
    PictureFolder folder;
    folder.addPicture(QStringLiteral("locked/a.jpg"), QSize(4, 4), Qt::red);
    folder.addFile(QStringLiteral("locked/sub/b.jpg"));
    const QString doomed = folder.makeFolder("doomed"), locked = folder.at("locked");
    QCOMPARE(::chmod(QFile::encodeName(locked), 0), 0);
    const auto unlock = qScopeGuard([&] { ::chmod(QFile::encodeName(locked), 0755); });
    for (const QString& start : {doomed, locked}) {
        const CurrentDirectory inStart(start);
        QVERIFY(start == locked || ::rmdir(QFile::encodeName(doomed)) == 0);
        const WithoutRootRights asUser;
        Kalvio w;
        w.load();
        QVERIFY(w.isVisible());
        QCOMPARE(fileList(w)->ListCount(), 0);
        QCOMPARE(w.browsing().pageCount(), std::optional<int>(0));
        QCOMPARE(pageCounter(w)->Caption(), QString());
        // The deleted folder has no path at all; the unreadable one shows its way down but no subfolders.
        QCOMPARE(folderList(w)->Path(), start == doomed ? QString() : locked);
        QCOMPARE(folderList(w)->count(), start == doomed ? 0 : locked.count(u'/') + 1);
    }
}

void FoldersTest::hundredThousandFiles()
{
    // In memory where there is a memory file system: making the files on disk takes far longer.
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QTemporaryDir folder((shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath()) + "/many-XXXXXX");
    for (int k = 0; k < 100000; ++k)
        QVERIFY(std::ofstream(
            QFile::encodeName(folder.path() + QStringLiteral("/IMG_%1.JPG").arg(k, 5, 10, QLatin1Char('0')))));
    auto w = startIn(PictureFolder().path());
    // Read as often as a folder of one file, with no status query per file.
    QStringList listed, queried;
    FolderService::setListingHook([&listed](const QString& path) { listed << path; });
    FolderService::setStatusQueryHook([&queried](const QString& path) { queried << path; });
    const auto unhook = qScopeGuard([] {
        FolderService::setListingHook(nullptr);
        FolderService::setStatusQueryHook(nullptr);
    });
    PictureFolder one;
    one.addFile(QStringLiteral("IMG_00000.JPG"));
    w->openPath(one.path());
    const qsizetype listingsOfOne = listed.count(one.path());
    QVERIFY(listingsOfOne > 0);
    w->openPath(folder.path());
    QCOMPARE(listed.count(folder.path()), listingsOfOne);
    QCOMPARE(queried, QStringList());
    QCOMPARE(fileList(*w)->ListCount(), 100000);
    QCOMPARE(fileList(*w)->List(99999), QStringLiteral("IMG_99999.JPG"));
    QCOMPARE(pageCounter(*w)->Caption(), QStringLiteral("1 z 4167"));
    QVERIFY(!pageForwardArrow(*w)->isHidden());
    QCOMPARE(frame(*w, 23)->Caption(), QStringLiteral("IMG_00023.JPG"));
    // The last file's page is reached like any other.
    fileList(*w)->setListIndex(99999);
    QCOMPARE(pageCounter(*w)->Caption(), QStringLiteral("4167 z 4167"));
    QCOMPARE(frame(*w, 15)->Caption() + frame(*w, 16)->Caption(), QStringLiteral("IMG_99999.JPG"));
}

void FoldersTest::nativeNamesRoundTrip()
{
    // Overlong forms, surrogates, past U+10FFFF, cut short, stray continuations, then valid names; random bytes.
    std::vector<std::string> samples;
    for (const QByteArray& bytes :
         QByteArray("\xC0\xAF|\xE0\x80\xAF|\xED\xA0\x80|\xF4\x90\x80\x80|a\xE2\x82|\x80\xBF|"
                    "\xFE\xFF|\xF0\x9F\x98|\xC4\x8Cislo|\xF0\x9F\x92\x80.jpg|\xF4\x8F\xBF\xBF")
             .split('|'))
        samples.push_back(bytes.toStdString());
    QRandomGenerator random(20240611);
    for (int k = 0; k < 3000; ++k) {
        std::string bytes(random.bounded(1, 12), '\0');
        for (char& c : bytes)
            c = char(random.bounded(2) ? random.bounded(0x80, 0x100) : random.bounded(1, 0x100));
        samples.push_back(bytes);
    }
    for (const std::string& bytes : samples) {
        const QString name = NativeName::Decode(bytes);
        QVERIFY2(NativeName::Encode(name) == bytes && NativeName::ToPath(name).native() == bytes,
                 QByteArray::fromStdString(bytes).toHex());
        QCOMPARE(NativeName::FromPath(NativeName::ToPath(name)), name);
    }
    // Only the bytes that are not UTF-8 show as replacement characters.
    QCOMPARE(NativeName::Display(NativeName::Decode("\xC4\x8Cislo \xF0\x9F\x98\x80\xFF")), "Čislo \U0001F600\uFFFD");
    // A character beyond the basic plane whose second half looks like an escaped byte stays what it is.
    QCOMPARE(NativeName::Display(QStringLiteral("\U0001F480")), QStringLiteral("\U0001F480"));
    QCOMPARE(NativeName::Encode(QStringLiteral("\U0001F480")), std::string("\xF0\x9F\x92\x80"));
}

// What a list shows of a name, and what ShownText makes of any text read from
// a file: nothing hidden, nothing reordered, nothing drawn over its neighbours.
void FoldersTest::namesAreShownForWhatTheyAre()
{
    const QString replacement(QChar(QChar::ReplacementCharacter));
    // Every bidirectional control shows where it stands, and the text around
    // it keeps its stored order: "abc<RLO>gnp.jpg" cannot pass for "abcgpj.png".
    for (const char16_t control :
         {0x200E, 0x200F, 0x061C, 0x202A, 0x202B, 0x202C, 0x202D, 0x202E, 0x2066, 0x2067, 0x2068, 0x2069})
        QCOMPARE(ShownText::Of(QStringLiteral("abc") + QChar(control) + QStringLiteral("gnp.jpg")),
                 QStringLiteral("abc") + replacement + QStringLiteral("gnp.jpg"));
    // Controls and invisible characters are seen; nothing breaks the line.
    QCOMPARE(ShownText::Of(QString::fromUtf16(u"a\nb\t\x7F\x85\u2028\u2029\u200B.jpg")),
             QString::fromUtf16(u"a\uFFFDb\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD.jpg"));
    // Bytes that are not UTF-8 as before; characters beyond the basic plane,
    // joined emoji and accents as they are.
    QCOMPARE(ShownText::Of(NativeName::Decode("bad\xff.jpg")), QStringLiteral("bad\uFFFD.jpg"));
    const QString ordinary =
        QString::fromUtf16(u"\U0001F480 \U0001F469\u200D\U0001F467 Vie\u0323\u0302t \u010Cislo.jpg");
    QCOMPARE(ShownText::Of(ordinary), ordinary);
    // Right-to-left letters are kept, in one left-to-right isolate: the
    // extension stays at the right end whatever stands around the name.
    QCOMPARE(ShownText::Of(QString::fromUtf16(u"\u05E9\u05DC\u05D5\u05DD\u202E.jpg")),
             QString::fromUtf16(u"\u2066\u05E9\u05DC\u05D5\u05DD\uFFFD.jpg\u2069"));
    // 10 000 combining marks on one letter (here one beyond the basic plane
    // too) are cut to the bound, the rest shown as one U+FFFD.
    const QString piled = QStringLiteral("a") + QString(10'000, QChar(0x0301)) + QStringLiteral("\U0001D167b.jpg");
    QCOMPARE(ShownText::Of(piled), QStringLiteral("a") + QString(ShownText::MarksPerCharacter, QChar(0x0301)) +
                                       replacement + QStringLiteral("b.jpg"));

    // The lists show that form and keep the stored name for opening.
    PictureFolder root;
    const QString disguised = QStringLiteral("abc\u202Egnp.jpg"), folder = QStringLiteral("x\u202Egpj.exe");
    root.addFile(disguised);
    root.makeFolder(folder);
    QWidget lists;
    FolderSource source(&lists);
    QSignalSpy listed(&source, &FolderSource::listed);
    source.setPattern(QStringLiteral("*.jpg"));
    source.open(root.path());
    QCOMPARE(listed.at(0).at(1).toStringList(), QStringList{disguised});
    const FileList& fileList = *lists.findChild<FileList*>();
    QCOMPARE(fileList.names(), QStringList{disguised});
    QCOMPARE(fileList.model()->index(0, 0).data().toString(), QStringLiteral("abc\uFFFDgnp.jpg"));
    const FolderList& folderList = *lists.findChild<FolderList*>();
    QCOMPARE(folderList.EntryPath(folderList.count() - 1), root.at(folder));
    QCOMPARE(folderList.item(folderList.count() - 1)->text().trimmed(), QStringLiteral("x\uFFFDgpj.exe"));
}

QTEST_MAIN(FoldersTest)
#include "tst_folders.moc"
