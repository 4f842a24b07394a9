#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

// The file-system queries that the window needs, over the system's directory
// calls. None of them throws: a folder that cannot be read counts as one
// without files and without subfolders, so a bad folder never ends the
// program; each such failure is logged under "kalvio.folders" (FolderLog.h).
// Paths are the escaped QString form of NativeName.
//
// An entry's kind comes from the listing itself where the file system gives
// it; only links and entries of unknown kind cost a status query, so a folder
// of a hundred thousand files is listed without one query per file.
namespace FolderService {

// Full paths of the visible (not dot-named) subfolders, links to folders
// followed, in natural name order.
QStringList SubFolders(const QString& path);

// Names of the visible entries that are not folders, unsorted. A link counts
// as what it points to; a dangling one, and anything else that is not a
// folder, counts as a file.
QStringList FileNames(const QString& path);

// One reading of a folder that ends at its first file, for a search that
// only goes on below folders without files: whether the folder holds a file
// (an entry that is not a folder, of any name or type), and when it holds
// none, its subfolders as SubFolders gives them.
struct FilesOrSubFolders {
    bool hasFiles = false;
    QStringList subfolders;
};
FilesOrSubFolders ReadUntilFirstFile(const QString& path);

// The process's current directory, or empty text when it cannot be had (it
// was deleted, for instance).
QString CurrentDirectory();

// Folder and name with exactly one "/" between them.
QString JoinPath(const QString& folder, const QString& name);

// Identity of a folder (device and inode, links followed), to notice a folder
// that is reached again through a link; none when path is no folder.
using FolderId = std::pair<unsigned long long, unsigned long long>;
std::optional<FolderId> Identity(const QString& path);

// Called with the path of every folder listing that is started; lets a test
// count how often each folder is read. Empty to remove.
void setListingHook(std::function<void(const QString& path)> hook);
// Called with the path of every entry whose kind costs a status query; lets
// a test count them. Empty to remove.
void setStatusQueryHook(std::function<void(const QString& path)> hook);

} // namespace FolderService
