#include "Kalvio.h"

// Another folder in the folder list: show it from its first page.
void Kalvio::folderChosen()
{
    closeView();
    listFolder(folderList->Path());
    setPageTagsFromList();
}
