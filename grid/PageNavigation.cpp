#include "Kalvio.h"

#include "MousePointer.h"

// When a pass was interrupted in the middle of a page, clears the cells it
// had not finished and ends that pass.
void Kalvio::cutShortPass(CellClearing clearing)
{
    const int reached = tags.passCell.value_or(-1);
    if (reached <= 0)
        return;
    endPass();
    for (int i = reached; i < CellCount; ++i) {
        thumbnails[i]->ClearPicture();
        thumbnails[i]->setToolTip(QString());
        if (clearing != CellClearing::Picture)
            setFrameName(i, QString());
        if (clearing == CellClearing::PictureCaptionAndPointer)
            thumbnails[i]->setMousePointer(MousePointer::Arrow);
    }
}

// Forward clears picture, name and pointer of the cells a pass left; back
// (pageBack) only the pictures. The difference is intended; the new pass
// writes every cell again in either case.
void Kalvio::pageForward()
{
    cutShortPass(CellClearing::PictureCaptionAndPointer);
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
    cutShortPass(CellClearing::Picture);
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
