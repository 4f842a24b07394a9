#include "PeerPrograms.h"

#include "Timing.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>

namespace PeerPrograms {
namespace {

constexpr int RunLimitMs = 60000;
constexpr int PollMs = 1;
// nsxiv lays its thumbnails out in cells of 142 px (128 px thumbnails and
// their frames): 6 x 4 cells show a page of 24 at once.
const QString NsxivWindow = QStringLiteral("900x620");

bool finishedCleanly(QProcess& process)
{
    return process.waitForFinished(RunLimitMs) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

std::optional<double> runMs(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    const Timing::Clock::time_point start = Timing::Clock::now();
    process.start(program, arguments);
    if (!finishedCleanly(process))
        return std::nullopt;
    return std::chrono::duration<double, std::milli>(Timing::Clock::now() - start).count();
}

// Where nsxiv keeps its thumbnail of path: the path below its cache folder.
QByteArray cachedThumbnail(const QString& cacheHome, const QString& path)
{
    return QFile::encodeName(cacheHome + QStringLiteral("/nsxiv") + path);
}

struct Watched {
    QByteArray thumbnail;
    time_t pictureDate = 0;
    bool done = false;
};

bool written(Watched& watched)
{
    struct stat status {};
    watched.done = watched.done || (::stat(watched.thumbnail.constData(), &status) == 0 &&
                                    status.st_mtim.tv_sec == watched.pictureDate && status.st_mtim.tv_nsec == 0);
    return watched.done;
}

std::optional<std::vector<Watched>> watchList(const QStringList& paths, const QString& cacheHome)
{
    std::vector<Watched> watched;
    for (const QString& path : paths) {
        struct stat status {};
        if (::stat(QFile::encodeName(path).constData(), &status) != 0)
            return std::nullopt;
        watched.push_back({cachedThumbnail(cacheHome, path), status.st_mtim.tv_sec});
    }
    return watched;
}

void stop(QProcess& process)
{
    process.kill();
    process.waitForFinished(RunLimitMs);
}

} // namespace

bool Installed(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

std::optional<double> VipsthumbnailMs(const QStringList& paths, int longSide, const QString& outFolder)
{
    const QString size = QStringLiteral("%1x%1").arg(longSide);
    return runMs(QStringLiteral("vipsthumbnail"), QStringList{QStringLiteral("--size"), size, QStringLiteral("-o"),
                                                              QDir(outFolder).filePath(QStringLiteral("%s.jpg"))} +
                                                      paths);
}

std::optional<double> VipsthumbnailStartMs()
{
    return runMs(QStringLiteral("vipsthumbnail"), {QStringLiteral("--vips-version")});
}

std::optional<double> NsxivMs(const QStringList& paths, const QString& display, const QString& cacheHome)
{
    std::optional<std::vector<Watched>> watched = watchList(paths, cacheHome);
    if (!watched || display.isEmpty())
        return std::nullopt;
    QProcess nsxiv;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), cacheHome);
    nsxiv.setProcessEnvironment(environment);
    nsxiv.setStandardOutputFile(QProcess::nullDevice());
    nsxiv.setStandardErrorFile(QProcess::nullDevice());

    const Timing::Clock::time_point start = Timing::Clock::now();
    nsxiv.start(QStringLiteral("nsxiv"), QStringList{QStringLiteral("-t"), QStringLiteral("-g"), NsxivWindow} + paths);
    if (!nsxiv.waitForStarted(RunLimitMs))
        return std::nullopt;
    const auto allWritten = [&watched] {
        return std::all_of(watched->begin(), watched->end(), [](Watched& one) { return written(one); });
    };
    // Waiting for the end of the process is also the pause between looks; one
    // that ends before its thumbnails are written failed.
    std::optional<double> ms;
    while (!nsxiv.waitForFinished(PollMs)) {
        if (allWritten()) {
            ms = std::chrono::duration<double, std::milli>(Timing::Clock::now() - start).count();
            break;
        }
        if (Timing::Clock::now() - start > std::chrono::milliseconds(RunLimitMs))
            break;
    }
    stop(nsxiv);
    return ms;
}

} // namespace PeerPrograms
