#include "Kalvio.h"

#include "WindowColors.h"

#include <QKeyEvent>
#include <QWheelEvent>

#include <cstdlib>

// The keys and the mouse wheel of the grid and the enlarged view. Every key
// goes through the procedure that the matching click runs, so a key pressed
// while a page is being drawn acts as that click would at that moment. The
// folder list and the file list keep their own keys.

namespace {

bool isActivation(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

constexpr int WheelNotch = 120;

} // namespace

bool Kalvio::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress)
        return handleKey(watched, *static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::Wheel)
        return handleWheel(*static_cast<QWheelEvent*>(event));
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
    return browsing_.viewOpen ? handleViewKey(key.key()) : handleGridKey(grid_->cellOf(watched), key.key());
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
    return true;
}

// The frame of the cell that has the keyboard focus carries an edge.
void Kalvio::markFocusedCell(QWidget* previous, QWidget* now)
{
    if (const int cell = grid_->cellOf(previous); cell >= 0)
        grid_->frame(cell)->setEdgeColor(std::nullopt);
    if (const int cell = grid_->cellOf(now); cell >= 0)
        grid_->frame(cell)->setEdgeColor(WindowColors::FocusEdge);
}

// The wheel over the enlarged view steps through the pictures, anywhere
// else over the grid it turns the pages; down is forward. A fine-grained
// wheel acts once a whole notch has added up.
bool Kalvio::handleWheel(const QWheelEvent& wheel)
{
    wheelTurned_ += wheel.angleDelta().y();
    const int notches = wheelTurned_ / WheelNotch;
    wheelTurned_ %= WheelNotch;
    const bool overView = browsing_.viewOpen && view_->isUnder(wheel.globalPosition().toPoint());
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
