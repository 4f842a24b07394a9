#include "Kalvio.h"

// The page shown: which page, its counter and arrows, and turning pages. The
// grid draws the page; the window decides which.

void Kalvio::showPage()
{
    if (browsing_.pages() == 0)
        pageCounter->setCaption(QString());
    else
        writePageCounter();
    grid_->show(browsing_.currentPage());
}

void Kalvio::writePageCounter()
{
    pageCounter->setCaption(QString::number(browsing_.currentPage() + 1) + QStringLiteral(" z ") +
                            QString::number(browsing_.pages()));
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
    if (browsing_.page == page)
        return;
    grid_->cutShortPass(PageGrid::Clearing::PictureAndCaption);
    browsing_.page = page;
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
        browsing_.page = browsing_.currentPage() + 1;
        showPageArrows();
        if (browsing_.viewOpen)
            showViewSteps();
        showPage();
    }
}

void Kalvio::pageBack()
{
    grid_->cutShortPass(PageGrid::Clearing::Picture);
    if (browsing_.hasPreviousPage()) {
        browsing_.page = browsing_.currentPage() - 1;
        showPageArrows();
        if (browsing_.viewOpen)
            showViewSteps();
        showPage();
    }
}

// The back arrow shows when a previous page exists, the forward arrow when a
// next one does.
void Kalvio::showPageArrows()
{
    browsing_.pageArrows = browsing_.pageArrowsNow();
    pageBackArrow->setVisible(browsing_.pageArrows.back);
    pageForwardArrow->setVisible(browsing_.pageArrows.forward);
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

// Decodes, while nothing else waits, what is likely to be asked for next:
// with the view open, the pictures either side of the one it shows, at its
// size; then the thumbnails of the next page and of the previous one.
void Kalvio::decodeAhead()
{
    std::vector<Pictures::Request> ahead;
    for (const int entry : browsing_.viewNeighbours())
        ahead.push_back(viewRequest(browsing_.nameAt(entry)));
    for (const int page : browsing_.neighbourPages()) {
        const std::vector<Pictures::Request> cells = grid_->requestsFor(page);
        ahead.insert(ahead.end(), cells.begin(), cells.end());
    }
    pictures_.prefetch(ahead);
}
