#include "Kalvio.h"

#include "WindowRules.h"

// A file chosen in the file list: close the enlarged view and show the page
// that holds the file.
void Kalvio::File1_Click()
{
    const int chosen = File1->ListIndex();
    // A click that leaves no entry chosen has no page to go to.
    if (chosen < 0)
        return;
    ZoomOkno_Click();
    const int page = WindowRules::PageOf(chosen);
    if (tags.pageIndex == page)
        return;
    cutShortPass(CellClearing::PictureAndCaption);
    tags.pageIndex = page;
    UpdatePageArrows();
    ShowPage();
}
