#include "Kalvio.h"

#include "EventYield.h"
#include "MousePointer.h"
#include "NativeName.h"
#include "WindowRules.h"

#include <QScopedValueRollback>

// Draws the current page cell by cell. Pending events run before every cell,
// so the window stays responsive and a newer page request can take over: a
// handler that changes the page moves the pass generation on, and the
// interrupted pass then ends without touching another cell.
//
// A page request that arrives while a pass yields does not start a pass
// inside that yield: it ends the running pass and is drawn as soon as the
// stack has unwound to the pass that was running, so however fast the
// requests come, at most one pass is ever on the stack. Events that run
// before the new pass starts see the state a new pass has at its first cell.
void Kalvio::showPage()
{
    if (browsing_.pages() == 0) {
        // No yield and no picture to wait for: done at once, and any pass
        // still waiting to be drawn is superseded.
        passPending_ = false;
        showEmptyPage();
        return;
    }
    writePageCounter();
    if (passRunning_) {
        tags.passCell = 0;
        endPass();
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
    pageCounter->setCaption(QString());
    endPass();
    for (int i = 0; i < CellCount; ++i) {
        thumbnails[i]->ClearPicture();
        thumbnails[i]->setToolTip(QString());
        setFrameName(i, QString::number(i));
        thumbnails[i]->setMousePointer(MousePointer::Arrow);
    }
}

void Kalvio::writePageCounter()
{
    pageCounter->setCaption(QString::number(browsing_.currentPage() + 1) + QStringLiteral(" z ") +
                            QString::number(browsing_.pages()));
}

// One pass over the 24 cells of the current page. Its pictures are asked for
// at once, in cell order, and decoded on every core while the pass goes from
// cell to cell; at each cell it draws the picture as soon as it is there,
// letting events run while it waits.
Kalvio::PassEnd Kalvio::drawPage()
{
    writePageCounter();
    thumbnailPaths_.Forget();
    const int page = browsing_.currentPage();
    const CellRequests requests = cellRequests(page);
    pictures_.submit(present(requests));
    const int generation = ++passGeneration_;
    // After events ran: the window was closed, or a newer request superseded the pass.
    const auto ended = [this, generation]() -> std::optional<PassEnd> {
        if (openWindowCount_ == 0)
            return PassEnd::Closed;
        if (passGeneration_ != generation) {
            tags.passCell = -1;
            return PassEnd::Interrupted;
        }
        return std::nullopt;
    };
    for (int i = 0; i < CellCount; ++i) {
        tags.passCell = i;
        openWindowCount_ = EventYield::DoEvents();
        if (const std::optional<PassEnd> end = ended())
            return *end;

        if (i < CellCount - 1) {
            PictureBox* next = thumbnails[i + 1];
            next->Cls();
            next->setFontSize(8);
            next->setFontBold(true);
            next->Print(QStringLiteral("\r\n\r\n") + tags.waitText);
        }
        const int entry = Browsing::entryOf(page, i);
        setFrameName(i, browsing_.nameAt(entry));
        thumbnails[i]->setMousePointer(MousePointer::Custom);
        std::optional<Pictures::Result> picture;
        if (requests[i]) {
            picture = waitForPicture(*requests[i], generation);
            if (const std::optional<PassEnd> end = ended())
                return *end;
        }
        drawIntoCell(i, picture);

        if (browsing_.viewOpen && browsing_.viewEntry == entry)
            openInView(i, entry);
    }
    tags.passCell = -1;
    decodeAhead();
    return PassEnd::Completed;
}

// Waits for the picture of cell i, letting events run; nothing when the pass
// ended meanwhile (the window closed, or a newer request superseded the pass).
std::optional<Pictures::Result> Kalvio::waitForPicture(const Pictures::Request& request, int generation)
{
    for (;;) {
        if (std::optional<Pictures::Result> picture = pictures_.tryGet(request))
            return picture;
        openWindowCount_ = EventYield::WaitForEvents();
        if (openWindowCount_ == 0 || passGeneration_ != generation)
            return std::nullopt;
    }
}

// What a cell showing picture `name` asks for: its small copy in THM for a
// name that begins with "R" (found whatever the letter case of THM and its
// name), else, or when that fails, the picture itself, decoded for the cell.
Pictures::Request Kalvio::thumbnailRequest(const QString& name)
{
    const QString copy = WindowRules::ThumbnailName(name);
    const QString thumbnail = copy == name ? name : thumbnailPaths_.Resolve(folderList->Path(), copy);
    // Every picture is drawn with its longer side as wide as the cell.
    Pictures::Request request{
        {NativeName::Encode(cellPath(thumbnail))}, pixelsFor(thumbnails[0]->Width()), Pictures::Purpose::Thumbnail};
    // A name without a small copy is its own thumbnail name: opened once.
    if (thumbnail != name)
        request.candidates.push_back(NativeName::Encode(cellPath(name)));
    return request;
}

// What each cell of page `page` asks for: nothing for a cell past the end of the list.
Kalvio::CellRequests Kalvio::cellRequests(int page)
{
    CellRequests requests;
    for (int i = 0; i < CellCount; ++i) {
        if (const QString name = browsing_.nameAt(Browsing::entryOf(page, i)); !name.isEmpty())
            requests[i] = thumbnailRequest(name);
    }
    return requests;
}

// The requests of the cells that ask for a picture, in cell order.
std::vector<Pictures::Request> Kalvio::present(const CellRequests& requests)
{
    std::vector<Pictures::Request> asked;
    for (const std::optional<Pictures::Request>& request : requests) {
        if (request)
            asked.push_back(*request);
    }
    return asked;
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
        const std::vector<Pictures::Request> cells = present(cellRequests(page));
        ahead.insert(ahead.end(), cells.begin(), cells.end());
    }
    pictures_.prefetch(ahead);
}

// Draws what the pipeline gave for cell i to fit the cell, or leaves the cell
// empty with the arrow pointer, and says why in its tooltip. The load buffer
// keeps the picture drawn last.
void Kalvio::drawIntoCell(int i, const std::optional<Pictures::Result>& picture)
{
    thumbnails[i]->setToolTip(WindowRules::WhyNoPicture(picture ? picture->decoded.failure : Pictures::Failure::None));
    if (!picture || !picture->decoded) {
        thumbnails[i]->ClearPicture();
        thumbnails[i]->setMousePointer(MousePointer::Arrow);
        return;
    }
    loadBuffer->setLoadedPicture(*picture->decoded.picture);
    const QRectF drawn =
        WindowRules::FitPicture(QSize(loadBuffer->ScaleWidthPixels(), loadBuffer->ScaleHeightPixels()),
                                QSizeF(thumbnails[0]->Width(), thumbnails[0]->Height()), WindowRules::Fit::WholeTwips);
    thumbnails[i]->ClearPicture();
    thumbnails[i]->PaintPicture(loadBuffer->picture()->image, drawn.x(), drawn.y(), drawn.width(), drawn.height());
    thumbnails[i]->Refresh();
}
