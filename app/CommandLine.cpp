#include "CommandLine.h"

#include "NameFilter.h"
#include "NativeName.h"
#include "ShownText.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <optional>

#ifndef KALVIO_VERSION
#define KALVIO_VERSION "unknown"
#endif

namespace fs = std::filesystem;

namespace {

const char* const Usage = "Usage: kalvio [--fullscreen] [--delay SECONDS] [FOLDER | PICTURE]\n"
                          "A photo viewer: the JPEG, BMP and GIF pictures of a folder in pages of 24 thumbnails.\n"
                          "\n"
                          "  (nothing)      show the first folder below the current directory that holds files\n"
                          "  FOLDER         show the pictures of FOLDER\n"
                          "  PICTURE        show the folder of PICTURE on the page that holds it, PICTURE enlarged\n"
                          "  --fullscreen   show PICTURE (or the folder's first picture) full screen\n"
                          "  --delay SECONDS  show each picture of the full-screen slideshow that long (default 4)\n"
                          "  -h, --help     print this help and exit\n"
                          "  -v, --version  print the version and exit\n";

CommandLine refused(const QString& why)
{
    CommandLine line;
    line.action = CommandLine::Action::Refuse;
    line.message = QStringLiteral("kalvio: ") + why + QStringLiteral("\nTry 'kalvio --help'.\n");
    return line;
}

CommandLine printed(const QString& text)
{
    CommandLine line;
    line.action = CommandLine::Action::Print;
    line.message = text;
    return line;
}

// ".JPG, .BMP nebo .GIF": the extensions of the file list's pattern, in Czech
// like everything the window says.
QString listedExtensions()
{
    QStringList extensions = CommandLine::ListedPictures.split(u';');
    for (QString& extension : extensions)
        extension.remove(u'*');
    const QString last = extensions.takeLast();
    return extensions.isEmpty() ? last : extensions.join(QStringLiteral(", ")) + QStringLiteral(" nebo ") + last;
}

// A picture the file list would leave out: the window could neither show it
// in the list nor step to it, so it is refused with a word on why.
CommandLine unlisted(const QString& path, const QString& name)
{
    const QString why = QStringLiteral("Kalvio ukazuje jen obrázky s příponou %1 (na velikosti písmen nezáleží).")
                            .arg(listedExtensions());
    CommandLine line;
    line.action = CommandLine::Action::Refuse;
    line.message = QStringLiteral("kalvio: %1: tento soubor se v seznamu souborů neukáže. %2\n").arg(path, why);
    line.windowMessage = QStringLiteral("Soubor „%1“ se v seznamu souborů neukáže.\n\n%2").arg(name, why);
    return line;
}

QString shown(const fs::path& path)
{
    return ShownText::Of(NativeName::FromPath(path));
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The folder can be listed: opening it for reading succeeds.
int folderReadError(const fs::path& folder)
{
    DIR* listing = ::opendir(folder.c_str());
    if (!listing)
        return errno;
    ::closedir(listing);
    return 0;
}

// The file can be opened for reading, without ever blocking on a FIFO.
int fileReadError(const fs::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

CommandLine forPath(const std::string& argument)
{
    std::error_code ec;
    fs::path path = fs::absolute(fs::path(argument), ec).lexically_normal();
    if (ec)
        return refused(shown(argument) + QStringLiteral(": ") + QString::fromStdString(ec.message()));
    if (path.has_parent_path() && !path.has_filename())
        path = path.parent_path(); // "photos/" names the folder "photos"

    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return refused(shown(path) + QStringLiteral(": ") + systemError(errno));

    CommandLine line;
    if (S_ISDIR(info.st_mode)) {
        if (const int error = folderReadError(path))
            return refused(shown(path) + QStringLiteral(": ") + systemError(error));
        line.folder = NativeName::FromPath(path);
        return line;
    }
    if (!S_ISREG(info.st_mode))
        return refused(shown(path) + QStringLiteral(": not a folder or a picture file"));
    if (const int error = fileReadError(path))
        return refused(shown(path) + QStringLiteral(": ") + systemError(error));
    if (const int error = folderReadError(path.parent_path()))
        return refused(shown(path.parent_path()) + QStringLiteral(": ") + systemError(error));
    line.folder = NativeName::FromPath(path.parent_path());
    line.picture = NativeName::FromPath(path.filename());
    if (!NameFilter(CommandLine::ListedPictures).Matches(NativeName::Display(line.picture)))
        return unlisted(shown(path), shown(path.filename()));
    return line;
}

// Seconds from 0.05 to an hour, as a whole number of milliseconds; none otherwise.
std::optional<int> delayMilliseconds(const std::string& text)
{
    bool ok = false;
    const double seconds = QString::fromStdString(text).toDouble(&ok);
    if (!ok || !(seconds >= 0.05 && seconds <= 3600))
        return std::nullopt;
    return int(std::lround(seconds * 1000));
}

} // namespace

CommandLine CommandLine::Parse(const std::vector<std::string>& arguments)
{
    std::vector<std::string> paths;
    bool optionsEnded = false;
    bool fullScreen = false;
    int delay = 4000;
    for (auto it = arguments.begin(); it != arguments.end(); ++it) {
        const std::string& argument = *it;
        if (!optionsEnded && argument == "--fullscreen") {
            fullScreen = true;
        } else if (!optionsEnded && argument == "--delay") {
            const std::optional<int> milliseconds =
                std::next(it) != arguments.end() ? delayMilliseconds(*++it) : std::nullopt;
            if (!milliseconds)
                return refused(QStringLiteral("--delay needs a number of seconds from 0.05 to 3600"));
            delay = *milliseconds;
        } else if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == "-h" || argument == "--help")) {
            return printed(QString::fromLatin1(Usage));
        } else if (!optionsEnded && (argument == "-v" || argument == "--version")) {
            return printed(QStringLiteral("kalvio " KALVIO_VERSION "\n"));
        } else if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            return refused(QStringLiteral("unknown option '%1'").arg(shown(argument)));
        } else {
            paths.push_back(argument);
        }
    }
    if (paths.size() > 1)
        return refused(QStringLiteral("one folder or picture at most"));
    if (paths.empty() && fullScreen)
        return refused(QStringLiteral("--fullscreen needs a picture or a folder"));
    if (!paths.empty() && paths.front().empty())
        return refused(QStringLiteral("an empty path names nothing"));
    CommandLine line = paths.empty() ? CommandLine() : forPath(paths.front());
    line.fullScreen = fullScreen;
    line.slideshowMilliseconds = delay;
    return line;
}
