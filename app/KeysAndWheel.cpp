#include "Kalvio.h"

#include "WindowColors.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QWheelEvent>

#include <cstdlib>

// The keys and the mouse wheel of the grid and the enlarged view. Every key
// goes through the procedure that the matching click runs, so a key pressed
// while a page is being drawn acts as that click would at that moment. The
// folder list and the file list keep their own keys and wheel, all of them.

namespace {

bool isActivation(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

constexpr int WheelNotch = 120;

} // namespace

bool Kalvio::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return handleKey(watched, *static_cast<QKeyEvent*>(event));
    case QEvent::Wheel:
        return handleWheel(*static_cast<QWheelEvent*>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        showFocusEdge(false);
        break;
    case QEvent::FocusIn:
        noteFocusReason(static_cast<QFocusEvent*>(event)->reason());
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool Kalvio::handleKey(QObject* watched, const QKeyEvent& key)
{
    // Combinations (Shift+Tab, Ctrl+Q, Alt+S) are the focus chain's and the menus'.
    if (key.modifiers() & ~Qt::KeypadModifier)
        return false;
    // A focused image is clicked by Space or Enter, as a button is.
    for (ImageControl* image :
         {pageBackArrow, pageForwardArrow, exitImage, view_->stepBackImage(), view_->stepForwardImage()}) {
        if (watched == image && isActivation(key.key())) {
            image->click();
            return true;
        }
    }
    // A list with the focus keeps every key, those it leaves unused at its
    // ends too: none of them reaches the pages.
    if (listHasFocus())
        return true;
    return browsing_.viewOpen ? handleViewKey(key.key()) : handleGridKey(grid_->cellOf(watched), key.key());
}

bool Kalvio::listHasFocus() const
{
    const QWidget* focused = focusWidget();
    const QWidget* folderList = source_->folderList();
    const QWidget* fileList = source_->fileList();
    return focused == folderList || focused == fileList || folderList->isAncestorOf(focused) ||
           fileList->isAncestorOf(focused);
}

// In the enlarged view: step to the next or previous picture where that
// stepping image is shown, or close the view.
bool Kalvio::handleViewKey(int key)
{
    switch (key) {
    case Qt::Key_Right:
    case Qt::Key_Space:
    case Qt::Key_PageDown:
        if (browsing_.viewSteps.forward)
            stepForward();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Backspace:
    case Qt::Key_PageUp:
        if (browsing_.viewSteps.back)
            stepBack();
        return true;
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        closeView();
        return true;
    default:
        return false;
    }
}

// In the grid: the arrow keys move between the cells, Enter or Space opens
// the focused cell's picture, the page keys turn pages where an arrow leads.
bool Kalvio::handleGridKey(int cell, int key)
{
    switch (key) {
    case Qt::Key_Left:
        return moveCellFocus(cell, -1);
    case Qt::Key_Right:
        return moveCellFocus(cell, 1);
    case Qt::Key_Up:
        return moveCellFocus(cell, -GridColumns);
    case Qt::Key_Down:
        return moveCellFocus(cell, GridColumns);
    case Qt::Key_PageDown:
        if (browsing_.pageArrows.forward)
            pageForwardArrowClicked();
        return true;
    case Qt::Key_PageUp:
        if (browsing_.pageArrows.back)
            pageBackArrowClicked();
        return true;
    case Qt::Key_Home:
        if (browsing_.entryCount() > 0)
            showPageOf(0);
        return true;
    case Qt::Key_End:
        if (browsing_.entryCount() > 0)
            showPageOf(browsing_.entryCount() - 1);
        return true;
    default:
        if (cell < 0 || !isActivation(key))
            return false;
        openCell(cell);
        return true;
    }
}

// Moves the focus by `by` cells, staying in the grid's row at its left and
// right edges and in the grid at its top and bottom. Without a focused cell
// the focus goes to cell 0.
bool Kalvio::moveCellFocus(int cell, int by)
{
    int target = 0;
    if (cell >= 0) {
        const bool leavesRow = std::abs(by) == 1 && cell / GridColumns != (cell + by) / GridColumns;
        target = cell + by < 0 || cell + by >= CellCount || leavesRow ? cell : cell + by;
    }
    grid_->thumbnail(target)->setFocus(Qt::TabFocusReason);
    showFocusEdge(true); // also where the focus stays, at the grid's edges
    return true;
}

// The frame of the cell that has the keyboard focus carries an edge while the
// keyboard moves the focus. A mouse user sees the grid as it always was,
// though a click on a thumbnail takes the focus there.
void Kalvio::markFocusedCell(QWidget* previous, QWidget* now)
{
    focused_ = now;
    if (const int cell = grid_->cellOf(previous); cell >= 0)
        grid_->frame(cell)->setEdgeColor(std::nullopt);
    if (const int cell = grid_->cellOf(now); cell >= 0)
        grid_->frame(cell)->setEdgeColor(focusEdgeShown_ ? std::optional(WindowColors::FocusEdge) : std::nullopt);
}

void Kalvio::showFocusEdge(bool shown)
{
    focusEdgeShown_ = shown;
    markFocusedCell(nullptr, focusWidget());
}

// Tab and the arrow keys show the edge, a click hides it. The focus moves on
// as by Tab from a cell being disabled or a view being hidden, but no key
// moved it then; nor when the view hands it back to its cell.
void Kalvio::noteFocusReason(Qt::FocusReason reason)
{
    const bool byTab = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    if (byTab && (!focused_ || (focused_->isEnabled() && focused_->isVisible())))
        showFocusEdge(true);
    else if (reason == Qt::MouseFocusReason)
        showFocusEdge(false);
}

// The wheel over the enlarged view steps through the pictures, over the rest
// of the grid and the page arrows it turns the pages; down is forward. Over a
// list it is the list's alone, also where the list can scroll no further, and
// elsewhere it does nothing. A fine-grained wheel acts once a whole notch has
// added up.
bool Kalvio::handleWheel(const QWheelEvent& wheel)
{
    const QPoint at = client_->mapFromGlobal(wheel.globalPosition().toPoint());
    const bool overView = browsing_.viewOpen && view_->box()->geometry().contains(at);
    if (!overView && !turnsPagesAt(at))
        return false;
    wheelTurned_ += wheel.angleDelta().y();
    const int notches = wheelTurned_ / WheelNotch;
    wheelTurned_ %= WheelNotch;
    for (int n = 0; n < std::abs(notches); ++n) {
        const bool forward = notches < 0;
        const Browsing::Ways& ways = overView ? browsing_.viewSteps : browsing_.pageArrows;
        if (forward ? ways.forward : ways.back)
            (overView ? (forward ? view_->stepForwardImage() : view_->stepBackImage())
                      : (forward ? pageForwardArrow : pageBackArrow))
                ->click();
    }
    return true;
}

// The grid, its gaps between the frames included, and the page arrows' places.
bool Kalvio::turnsPagesAt(QPoint at) const
{
    const QRect grid = grid_->frame(0)->geometry().united(grid_->frame(CellCount - 1)->geometry());
    return grid.contains(at) || pageBackArrow->geometry().contains(at) || pageForwardArrow->geometry().contains(at);
}
