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
        QVERIFY(line.message.startsWith(QStringLiteral("Usage: kalvio")));
    }
    for (const char* version : {"-v", "--version"}) {
        const CommandLine line = parse({version});
        QVERIFY(line.action == CommandLine::Action::Print && line.message.startsWith(QStringLiteral("kalvio ")));
    }
    QVERIFY(isRefused(parse({"--colour"})));
    QVERIFY(isRefused(parse({"-x"})));
    QVERIFY(isRefused(parse({""})));
    QVERIFY(isRefused(parse({"/", "/"})));
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
    QVERIFY(isRefused(parse({native(folder.at(QStringLiteral("missing.jpg")))})));
    // A FIFO is neither a folder nor a picture, and is never opened.
    const QString fifo = folder.at(QStringLiteral("pipe.jpg"));
    QCOMPARE(::mkfifo(native(fifo).c_str(), 0644), 0);
    QVERIFY(isRefused(parse({native(fifo)})));
    // What cannot be read is refused before a window opens.
    const QString locked = folder.makeFolder(QStringLiteral("locked"));
    QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    QVERIFY(QFile::setPermissions(picture, QFileDevice::WriteOwner));
    {
        const WithoutRootRights asUser;
        QVERIFY(isRefused(parse({native(locked)})));
        QVERIFY(isRefused(parse({native(picture)})));
    }
}

QTEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
