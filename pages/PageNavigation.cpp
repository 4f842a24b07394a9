#include "Kalvio.h"

#include "MousePointer.h"
#include "WindowRules.h"

using WindowRules::NextPageExists;
using WindowRules::PreviousPageExists;

// When a pass was interrupted in the middle of a page, clears the cells it
// had not finished. The loop moves the shared CellIndex past the last cell,
// which ends the interrupted pass when its yield returns.
void Kalvio::cutShortPass(CellClearing clearing)
{
    const int reached = tags.passCell.value_or(-1);
    if (reached <= 0)
        return;
    for (CellIndex = reached; CellIndex < CellCount; ++CellIndex) {
        const int i = CellIndex;
        Obr[i]->ClearPicture();
        Obr[i]->setToolTip(QString());
        if (clearing != CellClearing::Picture)
            Okno[i]->setCaption(QString());
        if (clearing == CellClearing::PictureCaptionAndPointer)
            Obr[i]->setMousePointer(MousePointer::Arrow);
    }
}

// Forward clears picture, name and pointer of the cells a pass left; back
// (Dozadu) only the pictures. The difference is intended; the new pass
// writes every cell again in either case.
void Kalvio::PageForward()
{
    cutShortPass(CellClearing::PictureCaptionAndPointer);
    const int page = tags.pageIndex.value_or(0);
    if (NextPageExists(page, tags.pageCount.value_or(0))) {
        tags.pageIndex = page + 1;
        UpdatePageArrows();
        if (ZoomOkno->Visible())
            UpdateZoomArrows();
        ShowPage();
    }
}

void Kalvio::Dozadu()
{
    cutShortPass(CellClearing::Picture);
    const int page = tags.pageIndex.value_or(0);
    if (PreviousPageExists(page)) {
        tags.pageIndex = page - 1;
        UpdatePageArrows();
        if (ZoomOkno->Visible())
            UpdateZoomArrows();
        ShowPage();
    }
}

// The back arrow shows when a previous page exists, the forward arrow when a
// next one does.
void Kalvio::UpdatePageArrows()
{
    const int page = tags.pageIndex.value_or(0);
    const int pages = tags.pageCount.value_or(0);
    if (page == 0)
        Nazad->setVisible(false);
    if (NextPageExists(page, pages))
        Vpred->setVisible(true);
    if (PreviousPageExists(page))
        Nazad->setVisible(true);
    if (!NextPageExists(page, pages))
        Vpred->setVisible(false);
}

void Kalvio::Vpred_Click()
{
    ZoomOkno_Click();
    PageForward();
}

void Kalvio::Nazad_Click()
{
    ZoomOkno_Click();
    Dozadu();
}
