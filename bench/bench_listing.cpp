// Times the file list on a folder of 100 000 camera pictures, step by step,
// beside a folder of 24: listing the folder, matching the window's pattern,
// sorting in natural order, filling the list, and the whole FileList::setPath;
// and the folder list's search of the same folder for subfolders.
//
//   QT_QPA_PLATFORM=offscreen kalvio_bench_listing [--runs N] [--folder DIR]
//
// The empty files are made once into DIR (default /tmp/kalvio-bench-listing)
// and reused by later runs.

#include "FileList.h"
#include "FolderService.h"
#include "FolderSource.h"
#include "NameFilter.h"
#include "NaturalOrder.h"
#include "ShownText.h"
#include "Timing.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringListModel>
#include <QWindow>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Timing::median;
using Timing::minimum;
using Timing::timeMs;

// The window's own pattern.
const QString Pattern = QStringLiteral("*.JPG;*.BMP;*.GIF");
constexpr int ManyPictures = 100000;
constexpr int FewPictures = 24;
// What a camera folder holds beside its pictures: none of it matches, a
// dot-file is hidden and a folder is no file.
const char* const Others[] = {"Thumbs.db", "notes.txt", "MVI_0001.MOV", "desktop.ini", ".hidden.JPG"};
const char* const ReadyMark = ".kalvio-bench-ready";

struct Options {
    int runs = 9;
    QString folder = QStringLiteral("/tmp/kalvio-bench-listing");
};

// The timings of every step on one folder.
struct Steps {
    std::vector<double> listing, matching, sorting, filling, setPath, subfolders;
};

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "kalvio_bench_listing: %s\n", qPrintable(message));
    std::exit(1);
}

// Picture k as cameras name them: several cameras' numbering in one folder,
// upper- and lower-case suffixes.
QString cameraName(int k)
{
    switch (k % 4) {
    case 0:
    case 1:
        return QString::asprintf("IMG_%05d.JPG", k);
    case 2:
        return QString::asprintf("DSC%05d.JPG", k);
    default:
        return QString::asprintf("P%07d.jpg", k);
    }
}

void touch(const QString& path)
{
    const int file = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0)
        fail(QStringLiteral("cannot create %1").arg(path));
    ::close(file);
}

// Makes folder with pictures empty camera files and the others, unless an
// earlier run made it with as many.
QString cameraFolder(const QString& folder, int pictures)
{
    QDir dir(folder);
    QFile mark(dir.filePath(QLatin1String(ReadyMark)));
    if (mark.open(QIODevice::ReadOnly) && mark.readAll().toInt() == pictures)
        return folder;
    mark.close();
    std::printf("Making %d empty files in %s\n", pictures, qPrintable(folder));
    if ((dir.exists() && !dir.removeRecursively()) || !QDir().mkpath(folder) || !dir.mkpath(QStringLiteral("THM")))
        fail(QStringLiteral("cannot make %1").arg(folder));
    for (int k = 0; k < pictures; ++k)
        touch(dir.filePath(cameraName(k)));
    for (const char* other : Others)
        touch(dir.filePath(QLatin1String(other)));
    if (!mark.open(QIODevice::WriteOnly) || mark.write(QByteArray::number(pictures)) <= 0)
        fail(QStringLiteral("cannot write %1").arg(mark.fileName()));
    return folder;
}

// Each step alone, as the folder source does it, then the whole listing of
// the folder source (both its lists filled); both end with the file list
// painted. Then the folder list's reading of the same folder, which the
// whole includes. The first run warms the caches and is not counted.
Steps measure(const QString& folder, int pictures, int runs, FolderSource& source, FileList& list)
{
    const NameFilter filter(Pattern);
    auto* shown = qobject_cast<QStringListModel*>(list.model());
    if (!shown)
        fail(QStringLiteral("the file list has no string model"));
    Steps steps;
    for (int run = 0; run <= runs; ++run) {
        QStringList names, matched, texts;
        const double listing = timeMs([&] { names = FolderService::FileNames(folder); });
        const double matching = timeMs([&] {
            for (const QString& name : names) {
                if (filter.Matches(name))
                    matched.append(name);
            }
        });
        const double sorting = timeMs([&] { NaturalOrder::Sort(matched); });
        shown->setStringList({});
        list.repaint();
        const double filling = timeMs([&] {
            texts.reserve(matched.size());
            for (const QString& name : matched)
                texts.append(ShownText::Of(name));
            shown->setStringList(texts);
            list.repaint();
        });
        list.showNames({});
        list.repaint();
        const double setPath = timeMs([&] {
            source.open(folder);
            list.repaint();
        });
        if (list.ListCount() != pictures || matched.size() != pictures)
            fail(QStringLiteral("%1 lists %2 pictures, expected %3").arg(folder).arg(list.ListCount()).arg(pictures));
        const double subfolders = timeMs([&] { static_cast<void>(FolderService::SubFolders(folder)); });
        if (run > 0) {
            steps.listing.push_back(listing);
            steps.matching.push_back(matching);
            steps.sorting.push_back(sorting);
            steps.filling.push_back(filling);
            steps.setPath.push_back(setPath);
            steps.subfolders.push_back(subfolders);
        }
    }
    return steps;
}

void printRow(const char* what, const std::vector<double>& many, const std::vector<double>& few)
{
    std::printf("%-42s %10.1f %9.1f %12.3f %9.3f\n", what, median(many), minimum(many), median(few), minimum(few));
}

bool parseOptions(const QApplication& app, Options& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Times Kalvio's file list on a folder of 100 000 camera pictures and on one of 24."));
    parser.addHelpOption();
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("Timed runs of every step (default 9)."),
                                  QStringLiteral("N"), QString::number(options.runs));
    const QCommandLineOption folder(QStringLiteral("folder"),
                                    QStringLiteral("Folder that holds the generated files, made or reused "
                                                   "(default /tmp/kalvio-bench-listing)."),
                                    QStringLiteral("DIR"), options.folder);
    parser.addOption(runs);
    parser.addOption(folder);
    parser.process(app);
    bool ok = false;
    options.runs = parser.value(runs).toInt(&ok);
    if (!parser.positionalArguments().isEmpty() || !ok || options.runs < 1 || options.runs > 1000) {
        std::fprintf(stderr, "kalvio_bench_listing: usage: [--runs 1..1000] [--folder DIR]\n");
        return false;
    }
    options.folder = QDir(parser.value(folder)).absolutePath();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Options options;
    if (!parseOptions(app, options))
        return 2;
    const QString many = cameraFolder(options.folder + QStringLiteral("/many"), ManyPictures);
    const QString few = cameraFolder(options.folder + QStringLiteral("/few"), FewPictures);

    // The lists at the size the window gives them, shown, so that filling includes their layout and paint.
    QWidget lists;
    FolderSource source(&lists);
    source.setPattern(Pattern);
    FileList& list = *lists.findChild<FileList*>();
    lists.resize(160, 420);
    lists.show();
    // Until the window system shows it, a repaint paints nothing.
    QElapsedTimer waited;
    waited.start();
    while (!lists.windowHandle() || !lists.windowHandle()->isExposed()) {
        if (waited.elapsed() > 5000)
            fail(QStringLiteral("the list was never shown"));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }

    const std::string loadAtStart = Timing::loadAverage();
    const Steps manySteps = measure(many, ManyPictures, options.runs, source, list);
    const Steps fewSteps = measure(few, FewPictures, options.runs, source, list);

    std::printf("\n%d and %d pictures, plus %zu other files and a folder each; pattern %s; %d runs\n", ManyPictures,
                FewPictures, std::size(Others), qPrintable(Pattern), options.runs);
    std::printf("\n%-42s %10s %9s %12s %9s\n", "step", "100k med", "100k min", "24 med", "24 min");
    printRow("listing (FolderService::FileNames)", manySteps.listing, fewSteps.listing);
    printRow("matching the pattern (NameFilter)", manySteps.matching, fewSteps.matching);
    printRow("natural order (NaturalOrder::Sort)", manySteps.sorting, fewSteps.sorting);
    printRow("filling and painting the list", manySteps.filling, fewSteps.filling);
    printRow("whole FolderSource::open and paint", manySteps.setPath, fewSteps.setPath);
    printRow("folder list: FolderService::SubFolders", manySteps.subfolders, fewSteps.subfolders);
    std::printf("\nAll times in ms. Load average %s at the start, %s at the end.\n", loadAtStart.c_str(),
                Timing::loadAverage().c_str());
    return 0;
}
