#include "Kalvio.h"

// A file chosen in the file list: close the enlarged view and show the page
// that holds the file.
void Kalvio::fileChosen()
{
    const int chosen = fileList->ListIndex();
    // A click that leaves no entry chosen has no page to go to.
    if (chosen < 0)
        return;
    showPageOf(chosen);
}

// Closes the enlarged view and shows the page that holds list entry `entry`,
// unless it is the page shown; the keys for the first and last page come here too.
void Kalvio::showPageOf(int entry)
{
    closeView();
    const int page = Browsing::pageOf(entry);
    // An entry of the page shown clears nothing, even while that page is being
    // drawn: the pass goes on and writes the cells again. Intended.
    if (browsing_.page == page)
        return;
    cutShortPass(CellClearing::PictureAndCaption);
    browsing_.page = page;
    showPageArrows();
    showPage();
}
