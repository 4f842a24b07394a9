// The command line, read before any window opens: what to show, what to
// print and what to refuse, with the exit code each gives.

#include "CommandLine.h"
#include "NativeName.h"
#include "TestSupport.h"

#include <QtTest>

#include <sys/stat.h>

using namespace TestSupport;

namespace {

CommandLine parse(std::initializer_list<std::string> arguments)
{
    return CommandLine::Parse(std::vector<std::string>(arguments));
}

std::string native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

bool isRefused(const CommandLine& line)
{
    return line.action == CommandLine::Action::Refuse && line.exitCode() == 2 && !line.message.isEmpty() &&
           line.folder.isEmpty() && line.picture.isEmpty();
}

// Refused, saying why in Czech, and pointing to --help in Czech.
bool isRefusedWith(const CommandLine& line, const QString& why)
{
    const bool told = line.message.contains(why) &&
                      line.message.endsWith(QStringLiteral("\nVíce informací získáte příkazem „kalvio --help“.\n"));
    if (!told)
        qWarning().noquote() << "message:" << line.message;
    return isRefused(line) && told;
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void optionsAndCounts();
    void foldersAndPictures();
};

void CommandLineTest::optionsAndCounts()
{
    const CommandLine none = parse({});
    QVERIFY(none.action == CommandLine::Action::Run && none.exitCode() == 0);
    QVERIFY(none.folder.isEmpty() && none.picture.isEmpty()); // the search below the current directory
    for (const char* help : {"-h", "--help"}) {
        const CommandLine line = parse({"/nonexistent", help});
        QVERIFY(line.action == CommandLine::Action::Print && line.exitCode() == 0);
        QVERIFY(line.message.startsWith(QStringLiteral("Použití: kalvio [--fullscreen] [--delay SEKUNDY]")));
    }
    for (const char* version : {"-v", "--version"}) {
        const CommandLine line = parse({version});
        QVERIFY(line.action == CommandLine::Action::Print && line.message.startsWith(QStringLiteral("kalvio ")));
    }
    QCOMPARE(parse({"--colour"}).message,
             QStringLiteral("kalvio: neznámá volba „--colour“\nVíce informací získáte příkazem „kalvio --help“.\n"));
    QVERIFY(isRefusedWith(parse({"-x"}), QStringLiteral("neznámá volba „-x“")));
    QVERIFY(isRefusedWith(parse({""}), QStringLiteral("prázdná cesta nic neoznačuje")));
    QVERIFY(isRefusedWith(parse({"/", "/"}), QStringLiteral("nejvýše jedna složka nebo jeden obrázek")));
    QVERIFY(isRefusedWith(parse({"--fullscreen"}), QStringLiteral("volba --fullscreen potřebuje obrázek nebo složku")));
    for (const char* delay : {"0.01", "abc", "3601"})
        QVERIFY(isRefusedWith(parse({"--delay", delay, "/"}), QStringLiteral("volba --delay potřebuje počet sekund")));
    QVERIFY(isRefusedWith(parse({"--delay"}), QStringLiteral("volba --delay potřebuje počet sekund")));
    // After "--" every argument is a path, even "--help".
    QVERIFY(isRefused(parse({"--", "--help"})));
    QCOMPARE(parse({"--", "/"}).folder, QStringLiteral("/"));
}

void CommandLineTest::foldersAndPictures()
{
    PictureFolder folder;
    const QString picture = folder.addPicture(QStringLiteral("photos/IMG 1.JPG"), QSize(8, 8), Qt::red);
    const QString photos = folder.at(QStringLiteral("photos"));
    for (const QString& named : {photos, photos + u'/', photos + QStringLiteral("/./")}) {
        const CommandLine line = parse({native(named)});
        QVERIFY(line.action == CommandLine::Action::Run && line.picture.isEmpty());
        QCOMPARE(line.folder, photos);
    }
    const CommandLine opened = parse({native(picture)});
    QVERIFY(opened.action == CommandLine::Action::Run);
    QCOMPARE(opened.folder, photos);
    QCOMPARE(opened.picture, QStringLiteral("IMG 1.JPG"));
    {
        // A relative path is taken from the current directory.
        const CurrentDirectory in(photos);
        QCOMPARE(parse({"IMG 1.JPG"}).folder, photos);
        QCOMPARE(parse({".."}).folder, folder.path());
    }
    // What the system says is said in Czech.
    QVERIFY(isRefusedWith(parse({native(folder.at(QStringLiteral("missing.jpg")))}),
                          QStringLiteral("missing.jpg: soubor nebo složka neexistuje")));
    QVERIFY(isRefusedWith(parse({native(picture + QStringLiteral("/x.jpg"))}),
                          QStringLiteral("x.jpg: část cesty není složka")));
    const QString loop = folder.at(QStringLiteral("loop.jpg"));
    QVERIFY(QFile::link(loop, loop));
    QVERIFY(isRefusedWith(parse({native(loop)}), QStringLiteral("příliš mnoho úrovní symbolických odkazů")));
    QVERIFY(isRefusedWith(parse({std::string(5000, 'x')}), QStringLiteral(": název je příliš dlouhý")));
    // A FIFO is neither a folder nor a picture, and is never opened.
    const QString fifo = folder.at(QStringLiteral("pipe.jpg"));
    QCOMPARE(::mkfifo(native(fifo).c_str(), 0644), 0);
    QVERIFY(isRefusedWith(parse({native(fifo)}), QStringLiteral("pipe.jpg: není složka ani obyčejný soubor")));
    // What cannot be read is refused before a window opens.
    const QString locked = folder.makeFolder(QStringLiteral("locked"));
    QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    QVERIFY(QFile::setPermissions(picture, QFileDevice::WriteOwner));
    {
        const WithoutRootRights asUser;
        QVERIFY(isRefusedWith(parse({native(locked)}), QStringLiteral("locked: přístup odepřen")));
        QVERIFY(isRefused(parse({native(picture)})));
    }
}

QTEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
