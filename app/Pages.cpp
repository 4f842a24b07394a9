#include "Kalvio.h"

#include "CaptionLabel.h"
#include "PageGrid.h"

// The page shown: which page, its counter and arrows, and turning pages. The
// grid draws the page; the window decides which.

void Kalvio::showPage()
{
    pageCounter_->setCaption(browsing_.counterText());
    grid_->show(browsing_.currentPage());
}

// Closes the enlarged view and shows the page that holds list entry `entry`,
// unless it is the page shown; a file chosen in the file list and the keys
// for the first and last page come here.
void Kalvio::showPageOf(int entry)
{
    closeView();
    const int page = Browsing::pageOf(entry);
    // An entry of the page shown clears nothing, even while that page is being
    // drawn: the pass goes on and writes the cells again. Intended.
    if (browsing_.page() == page)
        return;
    grid_->cutShortPass(PageGrid::Clearing::PictureAndCaption);
    browsing_.setPage(page);
    showPageArrows();
    showPage();
}

// Forward clears picture, name and pointer of the cells a pass left; back
// (pageBack) only the pictures. The difference is intended; the new pass
// writes every cell again in either case.
void Kalvio::pageForward()
{
    grid_->cutShortPass(PageGrid::Clearing::PictureCaptionAndPointer);
    if (browsing_.hasNextPage()) {
        browsing_.setPage(browsing_.currentPage() + 1);
        showPageArrows();
        if (browsing_.viewOpen())
            showViewSteps();
        showPage();
    }
}

void Kalvio::pageBack()
{
    grid_->cutShortPass(PageGrid::Clearing::Picture);
    if (browsing_.hasPreviousPage()) {
        browsing_.setPage(browsing_.currentPage() - 1);
        showPageArrows();
        if (browsing_.viewOpen())
            showViewSteps();
        showPage();
    }
}

// The back arrow shows when a previous page exists, the forward arrow when a
// next one does (drawn as decided, see drawWhatChanges).
void Kalvio::showPageArrows()
{
    browsing_.decidePageArrows();
}

void Kalvio::pageForwardArrowClicked()
{
    closeView();
    pageForward();
}

void Kalvio::pageBackArrowClicked()
{
    closeView();
    pageBack();
}
