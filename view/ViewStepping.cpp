#include "Kalvio.h"

#include "WindowColors.h"

// Each stepping image shows only where there is a picture to step to: the
// neighbouring cell within the page, or the next or previous page at its edges.
void Kalvio::showViewSteps()
{
    if (!browsing_.viewEntry)
        return;
    browsing_.viewSteps = browsing_.viewStepsNow();
    stepForwardImage->setVisible(browsing_.viewSteps.forward);
    stepBackImage->setVisible(browsing_.viewSteps.back);
}

void Kalvio::stepForward()
{
    const int k = browsing_.viewCell();
    const int entry = browsing_.viewEntry.value_or(0);
    if (browsing_.canStepForward()) {
        browsing_.viewEntry = entry + 1;
        if (k < CellCount - 1) {
            openInView(k + 1, entry + 1);
        } else {
            // The new page's pass opens its cell 0 as soon as it has drawn it.
            pageForward();
        }
    }
    showViewSteps();
}

void Kalvio::stepBack()
{
    const int k = browsing_.viewCell();
    const int entry = browsing_.viewEntry.value_or(0);
    if (k > 0) {
        if (browsing_.canStepBack()) {
            browsing_.viewEntry = entry - 1;
            openInView(k - 1, entry - 1);
        }
        showViewSteps();
        return;
    }
    if (!browsing_.canStepBack())
        return;
    // Back across the page edge: the last picture of the previous page opens
    // at once, then that page is drawn under it. The pass opens the picture
    // a second time when it reaches cell 23; that is intended and costs
    // nothing visible, as the picture is the same.
    openBeforeItsPageIsDrawn(browsing_.currentPage() - 1, CellCount - 1);
    pageBack();
}

// Gives the frames the names of page `page` and opens the picture of `cell`
// before that page's pass draws it; the pass then opens it again on reaching
// the cell, as it does for every cell the open view names.
void Kalvio::openBeforeItsPageIsDrawn(int page, int cell)
{
    for (int i = 0; i < CellCount; ++i)
        setFrameName(i, browsing_.nameAt(Browsing::entryOf(page, i)));
    browsing_.viewEntry = Browsing::entryOf(page, cell);
    showViewSteps();
    openInView(cell, Browsing::entryOf(page, cell));
}

// Closes the view and gives the grid back its normal look. While a pass is
// under way, the cells it has not reached lose their names, so they cannot be
// opened before the pass has drawn them.
void Kalvio::closeView()
{
    // Closed from the keyboard, the focus goes back to the cell the view showed.
    const bool focusInView = enlargedView->isAncestorOf(focusWidget()) || focusWidget() == enlargedView;
    browsing_.viewOpen = false;
    enlargedView->setVisible(false);
    setGridLook(WindowColors::FrameNormal, true);
    if (focusInView)
        thumbnails[browsing_.viewCell()]->setFocus(Qt::OtherFocusReason);
    const int reached = tags.passCell.value_or(-1);
    if (reached > 0) {
        for (int i = reached + 1; i < CellCount; ++i)
            setFrameName(i, QString());
    }
    enlargedView->Refresh();
}
