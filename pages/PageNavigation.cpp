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
        Obr[i]->ClearPicture();
        Obr[i]->setToolTip(QString());
        if (clearing != CellClearing::Picture)
            setFrameName(i, QString());
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
    if (browsing_.hasNextPage()) {
        browsing_.page = browsing_.currentPage() + 1;
        UpdatePageArrows();
        if (browsing_.viewOpen)
            UpdateZoomArrows();
        ShowPage();
    }
}

void Kalvio::Dozadu()
{
    cutShortPass(CellClearing::Picture);
    if (browsing_.hasPreviousPage()) {
        browsing_.page = browsing_.currentPage() - 1;
        UpdatePageArrows();
        if (browsing_.viewOpen)
            UpdateZoomArrows();
        ShowPage();
    }
}

// The back arrow shows when a previous page exists, the forward arrow when a
// next one does.
void Kalvio::UpdatePageArrows()
{
    browsing_.pageArrows = browsing_.pageArrowsNow();
    Nazad->setVisible(browsing_.pageArrows.back);
    Vpred->setVisible(browsing_.pageArrows.forward);
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
