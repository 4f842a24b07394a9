#include "Kalvio.h"

#include "EventYield.h"
#include "MousePointer.h"
#include "WindowRules.h"

#include <QScopedValueRollback>

// Draws the current page cell by cell. Pending events run before every cell,
// so the window stays responsive and a newer page request can take over: a
// handler that changes the page moves the shared CellIndex past the last
// cell, and the interrupted pass then ends without touching another cell.
//
// A page request that arrives while a pass yields does not start a pass
// inside that yield: it ends the running pass and is drawn as soon as the
// stack has unwound to the pass that was running, so however fast the
// requests come, at most one pass is ever on the stack. Events that run
// before the new pass starts see the state a new pass has at its first cell.
void Kalvio::ShowPage()
{
    if (tags.pageCount.value_or(0) == 0) {
        // No yield and no picture to wait for: done at once, and any pass
        // still waiting to be drawn is superseded.
        passPending_ = false;
        showEmptyPage();
        return;
    }
    writePageCounter();
    if (passRunning_) {
        tags.passCell = 0;
        CellIndex = CellCount;
        passPending_ = true;
        return;
    }
    const QScopedValueRollback running(passRunning_, true);
    PassEnd end = PassEnd::Completed;
    do {
        passPending_ = false;
        end = drawPage();
    } while (end == PassEnd::Interrupted && passPending_);
}

void Kalvio::showEmptyPage()
{
    Strana->setCaption(QString());
    for (CellIndex = 0; CellIndex < CellCount; ++CellIndex) {
        const int i = CellIndex;
        Obr[i]->ClearPicture();
        Obr[i]->setToolTip(QString());
        Okno[i]->setCaption(QString::number(i));
        Obr[i]->setMousePointer(MousePointer::Arrow);
    }
}

void Kalvio::writePageCounter()
{
    Strana->setCaption(QString::number(tags.pageIndex.value_or(0) + 1) + QStringLiteral(" z ") +
                       QString::number(tags.pageCount.value_or(0)));
}

// One pass over the 24 cells of the current page.
Kalvio::PassEnd Kalvio::drawPage()
{
    writePageCounter();
    thumbnailPaths_.Forget();
    const int page = tags.pageIndex.value_or(0);
    for (CellIndex = 0; CellIndex < CellCount; ++CellIndex) {
        const int i = CellIndex;
        tags.passCell = i;
        OpenWindowCount = EventYield::DoEvents();
        if (OpenWindowCount == 0)
            return PassEnd::Closed;
        if (CellIndex != i) {
            tags.passCell = -1;
            return PassEnd::Interrupted;
        }

        if (i < CellCount - 1) {
            PictureBox* next = Obr[i + 1];
            next->Cls();
            next->setFontSize(8);
            next->setFontBold(true);
            next->Print(QStringLiteral("\r\n\r\n") + tags.waitText);
        }
        const QString name = File1->List(CellCount * page + i);
        Okno[i]->setCaption(name);
        Obr[i]->setMousePointer(MousePointer::Custom);
        drawIntoCell(i);

        if (ZoomOkno->Visible() && tags.zoomCell == i)
            Obr_Click(i);
    }
    tags.passCell = -1;
    return PassEnd::Completed;
}

// Loads the picture named in cell i's frame, preferring its small copy in THM
// for names that begin with "R", and draws it to fit the cell.
void Kalvio::drawIntoCell(int i)
{
    const QString name = Okno[i]->Caption();
    // A small copy is found whatever the letter case of THM and its name.
    const QString copy = WindowRules::ThumbnailName(name);
    const QString thumbnail = copy == name ? name : thumbnailPaths_.Resolve(Dir1->Path(), copy);
    const double cellWidth = Obr[0]->Width();
    const double cellHeight = Obr[0]->Height();
    // Every picture is drawn with its longer side as wide as the cell.
    const int longSide = pixelsFor(cellWidth);
    Pictures::Failure failure = Pictures::Failure::None;
    const auto load = [&](const QString& file) {
        failure = Vstup->LoadPicture(cellPath(file), longSide, Pictures::Purpose::Thumbnail);
        return failure == Pictures::Failure::None;
    };
    // A name without a small copy is its own thumbnail name: opened once.
    const bool loaded = !name.isEmpty() && (load(thumbnail) || (thumbnail != name && load(name)));
    // The pointer resting on a cell that stays empty is told why.
    Obr[i]->setToolTip(WindowRules::WhyNoPicture(failure));
    if (!loaded) {
        Obr[i]->ClearPicture();
        Obr[i]->setMousePointer(MousePointer::Arrow);
        return;
    }

    const QRectF drawn = WindowRules::FitPicture(QSize(Vstup->ScaleWidthPixels(), Vstup->ScaleHeightPixels()),
                                                 QSizeF(cellWidth, cellHeight), WindowRules::Fit::WholeTwips);
    Obr[i]->ClearPicture();
    Obr[i]->PaintPicture(Vstup->picture()->image, drawn.x(), drawn.y(), drawn.width(), drawn.height());
    Obr[i]->Refresh();
}
