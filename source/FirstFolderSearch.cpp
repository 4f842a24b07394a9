#include "FirstFolderSearch.h"

#include "FolderService.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace {

using FolderService::FolderId;

struct Subfolder {
    QString name;
    std::optional<FolderId> id; // none when it is no longer a folder or cannot be queried
};

std::vector<Subfolder> identified(const QStringList& paths)
{
    std::vector<Subfolder> subfolders;
    subfolders.reserve(static_cast<size_t>(paths.size()));
    for (const QString& path : paths)
        subfolders.push_back({path.mid(path.lastIndexOf(u'/') + 1), FolderService::Identity(path)});
    return subfolders;
}

class Search {
public:
    QString run(const QString& start);

private:
    std::optional<QString> firstWithFiles(const QString& path, const FolderId& id);
    QString lastReached(const QString& start, const FolderId& startId) const;

    // Every folder met so far, read or being read.
    std::set<FolderId> seen_;
    // The subfolders of every folder read and found without files.
    std::map<FolderId, std::vector<Subfolder>> subfolders_;
};

QString Search::run(const QString& start)
{
    const std::optional<FolderId> startId = FolderService::Identity(start);
    if (!startId)
        return start;
    seen_.insert(*startId);
    subfolders_[*startId] = identified(FolderService::SubFolders(start));
    if (std::optional<QString> found = firstWithFiles(start, *startId))
        return *found;
    return lastReached(start, *startId);
}

// Depth first, in pre-order: the first folder below path (already read, as
// id) that holds a file. A folder met before, through another link or on the
// way down, is passed over: it has been searched already or is being
// searched, and nothing below it holds a file that the search has not met.
std::optional<QString> Search::firstWithFiles(const QString& path, const FolderId& id)
{
    // Entries of a std::map stay where they are while others are added.
    for (const Subfolder& subfolder : subfolders_.at(id)) {
        if (!subfolder.id || !seen_.insert(*subfolder.id).second)
            continue;
        const QString below = FolderService::JoinPath(path, subfolder.name);
        const FolderService::FilesOrSubFolders contents = FolderService::ReadUntilFirstFile(below);
        if (contents.hasFiles)
            return below;
        subfolders_[*subfolder.id] = identified(contents.subfolders);
        if (std::optional<QString> found = firstWithFiles(below, *subfolder.id))
            return found;
    }
    return std::nullopt;
}

// When no folder below start holds a file: the folder reached by going to the
// last subfolder again and again, passing over folders already on this way
// down, until a folder has none left. Uses the subfolders read by the search.
QString Search::lastReached(const QString& start, const FolderId& startId) const
{
    QString path = start;
    std::set<FolderId> onTheWay{startId};
    std::optional<FolderId> id = startId;
    while (id) {
        const auto read = subfolders_.find(*id);
        if (read == subfolders_.end())
            break;
        const std::vector<Subfolder>& subfolders = read->second;
        const auto last = std::find_if(subfolders.rbegin(), subfolders.rend(), [&](const Subfolder& subfolder) {
            return !subfolder.id || !onTheWay.count(*subfolder.id);
        });
        if (last == subfolders.rend())
            break;
        path = FolderService::JoinPath(path, last->name);
        id = last->id;
        if (id)
            onTheWay.insert(*id);
    }
    return path;
}

} // namespace

QString FirstFolderSearch(const QString& start)
{
    return Search().run(start);
}
