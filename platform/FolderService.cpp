#include "FolderService.h"

#include "FolderLog.h"
#include "NativeName.h"
#include "NaturalOrder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

Q_LOGGING_CATEGORY(folderLog, "kalvio.folders", QtWarningMsg)

namespace FolderService {
namespace {

std::function<void(const QString&)>& listingHook()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

std::function<void(const QString&)>& statusQueryHook()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

std::error_code lastError()
{
    return {errno, std::generic_category()};
}

void logFailure(const char* what, const QString& path, const std::error_code& error)
{
    qCInfo(folderLog).noquote() << QStringLiteral("%1 %2: %3")
                                       .arg(QLatin1String(what), NativeName::Printable(path),
                                            QString::fromStdString(error.message()));
}

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using Directory = std::unique_ptr<DIR, DirectoryCloser>;

// One entry of a listing. Its kind comes from the listing; a status query is
// made only for a link (which counts as what it points to) and on file
// systems that leave the kind unknown.
class Entry {
public:
    Entry(int folderHandle, const dirent& entry, const QString& folder)
        : folderHandle_(folderHandle), name_(entry.d_name), type_(entry.d_type), folder_(folder)
    {
    }

    QString name() const { return NativeName::Decode(name_); }
    bool isHidden() const { return name_.front() == '.'; }

    bool isFolder() const
    {
        if (type_ == DT_DIR)
            return true;
        if (type_ != DT_LNK && type_ != DT_UNKNOWN)
            return false;
        if (statusQueryHook())
            statusQueryHook()(JoinPath(folder_, name()));
        struct stat info {};
        if (::fstatat(folderHandle_, name_.data(), &info, 0) != 0) {
            logFailure("cannot query", JoinPath(folder_, name()), lastError());
            return false;
        }
        return S_ISDIR(info.st_mode);
    }

private:
    int folderHandle_;
    std::string_view name_;
    unsigned char type_;
    const QString& folder_;
};

// Calls visit(entry) for every entry of the folder but "." and ".." until
// visit returns false. An error ends the listing, logged.
template <typename Visit>
void forEachEntry(const QString& path, Visit visit)
{
    if (path.isEmpty())
        return;
    if (listingHook())
        listingHook()(path);
    const Directory folder(::opendir(NativeName::Encode(path).c_str()));
    if (!folder) {
        logFailure("cannot list", path, lastError());
        return;
    }
    const int handle = ::dirfd(folder.get());
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(folder.get());
        if (!entry) {
            if (errno != 0)
                logFailure("cannot list", path, lastError());
            return;
        }
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        if (!visit(Entry(handle, *entry, path)))
            return;
    }
}

QStringList pathsInNaturalOrder(const QString& folder, QStringList names)
{
    NaturalOrder::Sort(names);
    for (QString& name : names)
        name = JoinPath(folder, name);
    return names;
}

} // namespace

QStringList SubFolders(const QString& path)
{
    QStringList names;
    forEachEntry(path, [&](const Entry& entry) {
        if (!entry.isHidden() && entry.isFolder())
            names.append(entry.name());
        return true;
    });
    return pathsInNaturalOrder(path, std::move(names));
}

QStringList FileNames(const QString& path)
{
    QStringList names;
    forEachEntry(path, [&](const Entry& entry) {
        if (!entry.isHidden() && !entry.isFolder())
            names.append(entry.name());
        return true;
    });
    return names;
}

FilesOrSubFolders ReadUntilFirstFile(const QString& path)
{
    FilesOrSubFolders contents;
    QStringList names;
    forEachEntry(path, [&](const Entry& entry) {
        contents.hasFiles = !entry.isFolder();
        if (!contents.hasFiles && !entry.isHidden())
            names.append(entry.name());
        return !contents.hasFiles;
    });
    if (!contents.hasFiles)
        contents.subfolders = pathsInNaturalOrder(path, std::move(names));
    return contents;
}

QString CurrentDirectory()
{
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    if (error) {
        qCInfo(folderLog).noquote() << "cannot find the current directory:" << QString::fromStdString(error.message());
        return {};
    }
    return NativeName::FromPath(current);
}

QString JoinPath(const QString& folder, const QString& name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

std::optional<FolderId> Identity(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    struct stat info {};
    if (::stat(NativeName::Encode(path).c_str(), &info) != 0) {
        logFailure("cannot query", path, lastError());
        return std::nullopt;
    }
    if (!S_ISDIR(info.st_mode))
        return std::nullopt;
    return FolderId{static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino)};
}

void setListingHook(std::function<void(const QString& path)> hook)
{
    listingHook() = std::move(hook);
}

void setStatusQueryHook(std::function<void(const QString& path)> hook)
{
    statusQueryHook() = std::move(hook);
}

} // namespace FolderService
