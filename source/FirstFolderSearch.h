#pragma once

#include <QString>

// The folder shown at start: the first folder below start that holds a file
// of any kind, searched depth first in pre-order, subfolders in natural name
// order, dot folders passed over, links to folders followed; start's own
// files do not count, and a folder that cannot be read holds nothing. When no
// folder below holds a file, the search ends in the folder reached by going
// to the last subfolder again and again, never back into a folder already on
// that way down. Start itself when it has no subfolders or is no folder.
//
// Every real folder (device and inode) is read at most once, however many
// links lead to it, so the search never takes longer than the number of
// distinct folders below start.
QString FirstFolderSearch(const QString& start);
