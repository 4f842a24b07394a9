#include "Kalvio.h"

#include "FirstFolderSearch.h"

QString Kalvio::HladajPrvyFile(const QString& path)
{
    return FirstFolderSearch(path);
}
