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

const char Usage[] = "Použití: kalvio [--fullscreen] [--delay SEKUNDY] [SLOŽKA | OBRÁZEK]\n"
                     "Prohlížeč fotografií: obrázky JPEG, BMP a GIF jedné složky po stránkách 24 náhledů.\n"
                     "\n"
                     "  (nic)          ukáže první složku pod aktuálním adresářem, která obsahuje soubory\n"
                     "  SLOŽKA         ukáže obrázky SLOŽKY\n"
                     "  OBRÁZEK        ukáže složku OBRÁZKU na stránce, kde OBRÁZEK je, a OBRÁZEK zvětšený\n"
                     "  --fullscreen   ukáže OBRÁZEK (nebo první obrázek SLOŽKY) na celé obrazovce\n"
                     "  --delay SEKUNDY  tak dlouho ukáže prezentace na celé obrazovce každý obrázek (jinak 4)\n"
                     "  -h, --help     vypíše tuto nápovědu a skončí\n"
                     "  -v, --version  vypíše verzi a skončí\n";

CommandLine refused(const QString& why)
{
    CommandLine line;
    line.action = CommandLine::Action::Refuse;
    line.message =
        QStringLiteral("kalvio: ") + why + QStringLiteral("\nVíce informací získáte příkazem „kalvio --help“.\n");
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

// The system's reason in Czech, as the C library says it only in the user's
// language: the reasons a path on the command line meets, and for any other
// the error's symbolic name and number, which name it in any language.
QString systemError(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("soubor nebo složka neexistuje");
    case EACCES:
        return QStringLiteral("přístup odepřen");
    case EPERM:
        return QStringLiteral("operace není povolena");
    case ENOTDIR:
        return QStringLiteral("část cesty není složka");
    case ELOOP:
        return QStringLiteral("příliš mnoho úrovní symbolických odkazů");
    case ENAMETOOLONG:
        return QStringLiteral("název je příliš dlouhý");
    case EIO:
        return QStringLiteral("chyba vstupu/výstupu");
    case ENOMEM:
        return QStringLiteral("nedostatek paměti");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("příliš mnoho otevřených souborů");
    case EOVERFLOW:
        return QStringLiteral("soubor je příliš velký");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("zařízení neexistuje");
    case EBUSY:
        return QStringLiteral("zařízení nebo prostředek je zaneprázdněn");
    case ESTALE:
        return QStringLiteral("zastaralý odkaz na soubor v síťovém systému souborů");
    case ETIMEDOUT:
        return QStringLiteral("vypršel časový limit");
    case EINTR:
        return QStringLiteral("přerušeno signálem");
    case EINVAL:
        return QStringLiteral("neplatný argument");
    default:
        break;
    }
    const char* name = ::strerrorname_np(error);
    return name ? QStringLiteral("chyba systému %1 (č. %2)").arg(QLatin1String(name)).arg(error)
                : QStringLiteral("chyba systému č. %1").arg(error);
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
        return refused(shown(argument) + QStringLiteral(": ") + systemError(ec.value()));
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
        return refused(shown(path) + QStringLiteral(": není složka ani obyčejný soubor"));
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
                return refused(QStringLiteral("volba --delay potřebuje počet sekund od 0.05 do 3600"));
            delay = *milliseconds;
        } else if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == "-h" || argument == "--help")) {
            return printed(QString::fromUtf8(Usage));
        } else if (!optionsEnded && (argument == "-v" || argument == "--version")) {
            return printed(QStringLiteral("kalvio " KALVIO_VERSION "\n"));
        } else if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            return refused(QStringLiteral("neznámá volba „%1“").arg(shown(argument)));
        } else {
            paths.push_back(argument);
        }
    }
    if (paths.size() > 1)
        return refused(QStringLiteral("nejvýše jedna složka nebo jeden obrázek"));
    if (paths.empty() && fullScreen)
        return refused(QStringLiteral("volba --fullscreen potřebuje obrázek nebo složku"));
    if (!paths.empty() && paths.front().empty())
        return refused(QStringLiteral("prázdná cesta nic neoznačuje"));
    CommandLine line = paths.empty() ? CommandLine() : forPath(paths.front());
    line.fullScreen = fullScreen;
    line.slideshowMilliseconds = delay;
    return line;
}
