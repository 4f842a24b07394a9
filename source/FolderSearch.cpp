#include "Kalvio.h"

#include "FolderService.h"

#include <algorithm>
#include <vector>

namespace {

using FolderId = FolderService::FolderId;

bool isOnSearchPath(const std::vector<FolderId>& searchPath, const std::optional<FolderId>& folder)
{
    return folder && std::find(searchPath.begin(), searchPath.end(), *folder) != searchPath.end();
}

// Depth first, in pre-order: the first folder below path that holds a file of
// any kind. A folder without files is searched completely before its next
// sibling is tested. Links to folders are followed, but never into a folder
// already on the way down from the start, so a link loop cannot make the
// search endless.
QString searchBelow(const QString& path, std::vector<FolderId>& searchPath)
{
    QString result = path;
    if (!FolderService::FolderExists(path))
        return result;
    const QStringList subfolders = FolderService::SubFolders(path);
    if (subfolders.isEmpty())
        return result;

    searchPath.push_back(FolderService::Identity(path).value_or(FolderId{}));
    for (const QString& subfolder : subfolders) {
        // A link back to a folder on the way down is no new folder: passed over.
        if (isOnSearchPath(searchPath, FolderService::Identity(subfolder)))
            continue;
        if (FolderService::HasFiles(subfolder)) {
            result = subfolder;
            break;
        }
        result = searchBelow(subfolder, searchPath);
        if (FolderService::HasFiles(result))
            break;
    }
    searchPath.pop_back();
    return result;
}

} // namespace

// The folder shown at start: the first folder below path that holds files,
// or path itself when it has no subfolders or does not exist. When no folder
// below holds a file, the search ends in the last folder it reached.
QString Kalvio::HladajPrvyFile(const QString& path)
{
    std::vector<FolderId> searchPath;
    return searchBelow(path, searchPath);
}
