#include "Kalvio.h"

#include "Colors.h"

namespace {

constexpr int MidGrey = RGB(128, 128, 128);

} // namespace

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
        LupaPlus->setVisible(pages - page > 1);
    if (k > 0)
        LupaMinus->setVisible(!Okno[k - 1]->Caption().isEmpty());
    else
        LupaMinus->setVisible(page > 0);
}

void Kalvio::LupaPlus_Click()
{
    const int k = tags.zoomCell.value_or(0);
    if (k < CellCount - 1) {
        if (!Okno[k + 1]->Caption().isEmpty()) {
            tags.zoomCell = k + 1;
            Obr_Click(k + 1);
        }
    } else if (tags.pageCount.value_or(0) - tags.pageIndex.value_or(0) > 1) {
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
    if (page <= 0)
        return;
    // Back across the page edge: the last picture of the previous page opens
    // at once, then that page is drawn under it.
    tags.zoomCell = CellCount - 1;
    const int previous = page - 1;
    for (int i = 0; i < CellCount; ++i)
        Okno[i]->setCaption(File1->List(previous * CellCount + i));
    UpdateZoomArrows();
    Obr_Click(CellCount - 1);
    Dozadu();
}

// Closes the view and gives the grid back its normal look. While a pass is
// under way, the cells it has not reached lose their names, so they cannot be
// opened before the pass has drawn them.
void Kalvio::ZoomOkno_Click()
{
    ZoomOkno->setVisible(false);
    setGridLook(MidGrey, true);
    const int reached = tags.passCell.value_or(-1);
    if (reached > 0) {
        for (int i = reached + 1; i < CellCount; ++i)
            Okno[i]->setCaption(QString());
    }
    ZoomOkno->Refresh();
}
