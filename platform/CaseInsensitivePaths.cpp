#include "CaseInsensitivePaths.h"

#include "FolderService.h"
#include "NativeName.h"

#include <sys/stat.h>

namespace {

bool exists(const QString& path)
{
    struct stat info {};
    return ::stat(NativeName::Encode(path).c_str(), &info) == 0;
}

QString lastPart(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

} // namespace

QString CaseInsensitivePaths::Resolve(const QString& folder, const QString& relative)
{
    if (exists(FolderService::JoinPath(folder, relative)))
        return relative;
    const QString found = resolveIn(folder, relative.split(u'/', Qt::SkipEmptyParts));
    return found.isEmpty() ? relative : found;
}

// The relative path of the entry matching parts below folder, or empty text.
QString CaseInsensitivePaths::resolveIn(const QString& folder, const QStringList& parts)
{
    if (parts.isEmpty())
        return {};
    if (parts.size() == 1) {
        for (const QString& name : listing(folder, Kind::Files)) {
            if (name.compare(parts.first(), Qt::CaseInsensitive) == 0)
                return name;
        }
        return {};
    }
    for (const QString& subfolder : listing(folder, Kind::Folders)) {
        const QString name = lastPart(subfolder);
        if (name.compare(parts.first(), Qt::CaseInsensitive) != 0)
            continue;
        if (const QString below = resolveIn(subfolder, parts.mid(1)); !below.isEmpty())
            return name + u'/' + below;
    }
    return {};
}

const QStringList& CaseInsensitivePaths::listing(const QString& folder, Kind kind)
{
    const auto key = std::make_pair(folder, kind);
    auto found = listings_.find(key);
    if (found == listings_.end()) {
        QStringList names =
            kind == Kind::Folders ? FolderService::SubFolders(folder) : FolderService::FileNames(folder);
        found = listings_.emplace(key, std::move(names)).first;
    }
    return found->second;
}
