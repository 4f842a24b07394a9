#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// The file-system queries that the window needs, over the C++ standard
// library. None of them throws: a folder that cannot be read counts as one
// without files and without subfolders, so a bad folder never ends the program.
// Paths are the escaped QString form of NativeName.
namespace FolderService {

bool FolderExists(const QString& path);

// Full paths of the visible (not dot-named) subfolders, links to folders
// followed, in natural name order.
QStringList SubFolders(const QString& path);

// True when the folder holds at least one entry that is not a folder, of any
// name or type. Stops at the first one, so it is cheap on huge folders.
bool HasFiles(const QString& path);

// Names of the visible entries that are not folders, unsorted.
QStringList FileNames(const QString& path);

// The process's current directory, or empty text when it cannot be had (it
// was deleted, for instance).
QString CurrentDirectory();

// Folder and name with exactly one "/" between them.
QString JoinPath(const QString& folder, const QString& name);

// Identity of a folder (device and inode, links followed), to notice a folder
// that is reached again through a link.
using FolderId = std::pair<unsigned long long, unsigned long long>;
std::optional<FolderId> Identity(const QString& path);

} // namespace FolderService
