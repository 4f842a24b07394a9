#include "Kalvio.h"

#include "WindowColors.h"
#include "WindowRules.h"

#include <algorithm>

using WindowRules::NextPageExists;
using WindowRules::PreviousPageExists;

// Each stepping image shows only where there is a picture to step to: the
// neighbouring cell within the page, or the next or previous page at its edges.
void Kalvio::UpdateZoomArrows()
{
    if (!tags.zoomCell)
        return;
    const int k = *tags.zoomCell;
    const int page = tags.pageIndex.value_or(0);
    const int pages = tags.pageCount.value_or(0);
    if (k < CellCount - 1)
        LupaPlus->setVisible(!Okno[k + 1]->Caption().isEmpty());
    else
        LupaPlus->setVisible(NextPageExists(page, pages));
    if (k > 0)
        LupaMinus->setVisible(!Okno[k - 1]->Caption().isEmpty());
    else
        LupaMinus->setVisible(PreviousPageExists(page));
}

void Kalvio::LupaPlus_Click()
{
    const int k = tags.zoomCell.value_or(0);
    if (k < CellCount - 1) {
        if (!Okno[k + 1]->Caption().isEmpty()) {
            tags.zoomCell = k + 1;
            Obr_Click(k + 1);
        }
    } else if (NextPageExists(tags.pageIndex.value_or(0), tags.pageCount.value_or(0))) {
        // The new page's pass opens its cell 0 as soon as it has drawn it.
        tags.zoomCell = 0;
        PageForward();
    }
    UpdateZoomArrows();
}

void Kalvio::LupaMinus_Click()
{
    const int k = tags.zoomCell.value_or(0);
    if (k > 0) {
        if (!Okno[k - 1]->Caption().isEmpty()) {
            tags.zoomCell = k - 1;
            Obr_Click(k - 1);
        }
        UpdateZoomArrows();
        return;
    }
    const int page = tags.pageIndex.value_or(0);
    if (!PreviousPageExists(page))
        return;
    // Back across the page edge: the last picture of the previous page opens
    // at once, then that page is drawn under it. The pass opens the picture
    // a second time when it reaches cell 23; that is intended and costs
    // nothing visible, as the picture is the same.
    openBeforeItsPageIsDrawn(page - 1, CellCount - 1);
    Dozadu();
}

// Gives the frames the names of page `page` and opens the picture of `cell`
// before that page's pass draws it; the pass then opens it again on reaching
// the cell, as it does for every cell the open view names.
void Kalvio::openBeforeItsPageIsDrawn(int page, int cell)
{
    for (int i = 0; i < CellCount; ++i)
        Okno[i]->setCaption(File1->List(page * CellCount + i));
    tags.zoomCell = cell;
    UpdateZoomArrows();
    Obr_Click(cell);
}

// Closes the view and gives the grid back its normal look. While a pass is
// under way, the cells it has not reached lose their names, so they cannot be
// opened before the pass has drawn them.
void Kalvio::ZoomOkno_Click()
{
    // Closed from the keyboard, the focus goes back to the cell the view showed.
    const bool focusInView = ZoomOkno->isAncestorOf(focusWidget()) || focusWidget() == ZoomOkno;
    ZoomOkno->setVisible(false);
    setGridLook(WindowColors::FrameNormal, true);
    if (focusInView)
        Obr[std::clamp(tags.zoomCell.value_or(0), 0, CellCount - 1)]->setFocus(Qt::OtherFocusReason);
    const int reached = tags.passCell.value_or(-1);
    if (reached > 0) {
        for (int i = reached + 1; i < CellCount; ++i)
            Okno[i]->setCaption(QString());
    }
    ZoomOkno->Refresh();
}
