#include "Kalvio.h"

// Another folder in the folder list: show it from its first page.
void Kalvio::Dir1_Change()
{
    ZoomOkno_Click();
    listFolder(Dir1->Path());
    setPageTagsFromList();
}
