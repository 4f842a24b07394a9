#include "Kalvio.h"

#include "EnlargedView.h"
#include "FullScreenView.h"
#include "NativeName.h"
#include "PageGrid.h"
#include "WindowColors.h"
#include "WindowRules.h"

// The enlarged view: which picture it shows and where a step leads. The view
// draws the picture; the window decides which, from the model.

// Shows the picture of cell index enlarged over the grid, with its path and
// size in pixels along the bottom.
void Kalvio::openCell(int index)
{
    openInView(index, Browsing::entryOf(browsing_.currentPage(), index));
}

// A pass that draws the cell of the entry the open view shows opens it again:
// the view then shows the picture of that page's cell.
void Kalvio::reopenIfViewed(int cell, int entry)
{
    if (browsing_.viewOpen() && browsing_.viewEntry() == entry)
        openInView(cell, entry);
}

// Opens the picture frame `cell` names as list entry `entry`: the entry of
// that cell on the page shown, or on the page about to be shown when the
// view steps back over a page edge.
void Kalvio::openInView(int cell, int entry)
{
    const QString name = browsing_.pictureShownAt(cell);
    if (name.isEmpty())
        return;
    const QString path = cellPath(name);
    const bool wasOpen = browsing_.viewOpen();
    // Opened from a focused cell, the view takes the keyboard along.
    const bool focusInGrid = grid_->focusedCell() >= 0;

    // Decoded for the view, not the file: at once when it was decoded ahead.
    const Pictures::Result picture = pictures_.get(viewRequest(name));
    const Pictures::Failure failure = picture.decoded.failure;
    const bool loaded = picture.decoded.picture.has_value();
    // Why the picture does not open shows where the pointer rests: on the cell, or on the open view.
    grid_->setWhyNoPicture(cell, WindowRules::WhyNoPicture(failure));
    view_->setWhyNoPicture(WindowRules::WhyNoPicture(failure));
    if (!loaded && !wasOpen)
        return;
    grid_->setLook(WindowColors::FrameDimmed, false);
    if (!loaded) {
        // The open view stays open, empty, on the cell its caller chose.
        view_->showNothing();
        return;
    }
    browsing_.setViewOpen(true);
    view_->show(*picture.decoded.picture, EnlargedView::captionOf(path, picture.decoded.picture->fileSize));
    if (focusInGrid)
        view_->takeFocus();
    browsing_.setViewEntry(entry);
    showViewSteps();
    decodeAhead();
}

// What the view showing picture `name` asks for: the picture decoded with its
// longer side as wide as the view is laid out.
Pictures::Request Kalvio::viewRequest(const QString& name) const
{
    return {{NativeName::Encode(cellPath(name))}, Pictures::SquareBox(pixelsFor(viewWidth_)), Pictures::Purpose::View};
}

// Each stepping image shows only where there is a picture to step to: the
// neighbouring cell within the page, or the next or previous page at its
// edges (drawn as decided, see drawWhatChanges).
void Kalvio::showViewSteps()
{
    if (!browsing_.viewEntry())
        return;
    browsing_.decideViewSteps();
}

void Kalvio::stepForward()
{
    const int k = browsing_.viewCell();
    const int entry = browsing_.viewEntry().value_or(0);
    if (browsing_.canStepForward()) {
        browsing_.setViewEntry(entry + 1);
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
    const int entry = browsing_.viewEntry().value_or(0);
    if (k > 0) {
        if (browsing_.canStepBack()) {
            browsing_.setViewEntry(entry - 1);
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
// the cell, as it does for every cell the open view names. The one place
// where the window writes what the frames show ahead of the grid's pass.
void Kalvio::openBeforeItsPageIsDrawn(int page, int cell)
{
    for (int i = 0; i < CellCount; ++i)
        browsing_.setShownName(i, browsing_.nameAt(Browsing::entryOf(page, i)));
    browsing_.setViewEntry(Browsing::entryOf(page, cell));
    showViewSteps();
    openInView(cell, Browsing::entryOf(page, cell));
}

// Closes the view and gives the grid back its normal look. While a pass is
// under way, the cells it has not reached lose their names, so they cannot be
// opened before the pass has drawn them.
void Kalvio::closeView()
{
    // Closed from the keyboard, the focus goes back to the cell the view showed.
    const bool focusInView = view_->hasFocus();
    browsing_.setViewOpen(false);
    view_->close();
    grid_->setLook(WindowColors::FrameNormal, true);
    if (focusInView)
        grid_->focusCell(browsing_.viewCell(), Qt::OtherFocusReason);
    grid_->blankNamesAhead();
}

// Decodes, while nothing else waits, what is likely to be asked for next:
// with the view open, the pictures either side of the one it shows, at its
// size; then the thumbnails of the next page and of the previous one.
void Kalvio::decodeAhead()
{
    // Under the full screen, what it decodes ahead goes first.
    if (fullScreen_->isVisible())
        return;
    std::vector<Pictures::Request> ahead;
    for (const int entry : browsing_.viewNeighbours())
        ahead.push_back(viewRequest(browsing_.nameAt(entry)));
    for (const int page : browsing_.neighbourPages()) {
        const std::vector<Pictures::Request> cells = grid_->requestsFor(page);
        ahead.insert(ahead.end(), cells.begin(), cells.end());
    }
    pictures_.prefetch(ahead);
}
