#include "Kalvio.h"

// Another folder in the folder list: show it from its first page.
void Kalvio::Dir1_Change()
{
    ZoomOkno_Click();
    File1->setPath(Dir1->Path());
    setPageTagsFromList();
}
