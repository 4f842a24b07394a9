#include "FolderService.h"

#include "NativeName.h"
#include "NaturalOrder.h"

#include <sys/stat.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace FolderService {
namespace {

bool isHidden(const fs::path& name)
{
    const auto& text = name.native();
    return !text.empty() && text.front() == '.';
}

// Calls visit(entry, isFolder) for every entry of the folder until visit
// returns false. Errors while listing end the listing quietly.
template <typename Visit>
void forEachEntry(const QString& path, Visit visit)
{
    if (path.isEmpty())
        return;
    std::error_code ec;
    fs::directory_iterator it(NativeName::ToPath(path), ec);
    const fs::directory_iterator end;
    while (!ec && it != end) {
        std::error_code statError;
        // status() follows links: a link to a folder is a folder.
        const bool isFolder = fs::is_directory(it->status(statError));
        if (!visit(*it, isFolder))
            return;
        it.increment(ec);
    }
}

} // namespace

bool FolderExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    std::error_code ec;
    return fs::is_directory(NativeName::ToPath(path), ec);
}

QStringList SubFolders(const QString& path)
{
    QStringList names;
    forEachEntry(path, [&](const fs::directory_entry& entry, bool isFolder) {
        const fs::path name = entry.path().filename();
        if (isFolder && !isHidden(name))
            names.append(NativeName::FromPath(name));
        return true;
    });
    NaturalOrder::Sort(names);
    for (QString& name : names)
        name = JoinPath(path, name);
    return names;
}

bool HasFiles(const QString& path)
{
    bool found = false;
    forEachEntry(path, [&](const fs::directory_entry&, bool isFolder) {
        found = !isFolder;
        return !found;
    });
    return found;
}

QStringList FileNames(const QString& path)
{
    QStringList names;
    forEachEntry(path, [&](const fs::directory_entry& entry, bool isFolder) {
        const fs::path name = entry.path().filename();
        if (!isFolder && !isHidden(name))
            names.append(NativeName::FromPath(name));
        return true;
    });
    return names;
}

QString CurrentDirectory()
{
    std::error_code ec;
    const fs::path current = fs::current_path(ec);
    if (ec)
        return {};
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
    struct stat info {};
    if (::stat(NativeName::Encode(path).c_str(), &info) != 0)
        return std::nullopt;
    return FolderId{static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino)};
}

} // namespace FolderService
