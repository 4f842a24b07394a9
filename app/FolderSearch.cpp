#include "Kalvio.h"

#include "FirstFolderSearch.h"

QString Kalvio::firstFolderWithFiles(const QString& path)
{
    return FirstFolderSearch(path);
}
