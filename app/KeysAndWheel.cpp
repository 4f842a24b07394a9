#include "Kalvio.h"

#include "EnlargedView.h"
#include "FolderSource.h"
#include "ImageControl.h"
#include "PageGrid.h"
#include "StartupLog.h"

#include <QKeyEvent>
#include <QWheelEvent>

#include <utility>

#include <cstdlib>

// The keys and the mouse wheel of the grid and the enlarged view, through the
// one table of keys (KeyActions). Every key goes through the procedure that
// the matching click runs, so a key pressed while a page is being drawn acts
// as that click would at that moment. The folder list and the file list keep
// their own keys and wheel, all of them.

using KeyActions::Action;

namespace {

bool isActivation(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

bool Kalvio::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return handleOwnKey(watched, *static_cast<QKeyEvent*>(event));
    case QEvent::Wheel:
        return handleWheel(*static_cast<QWheelEvent*>(event));
    case QEvent::Paint:
        if (watched == client_ && !std::exchange(painted_, true))
            qCDebug(startupLog, "window painted");
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// The window's own controls and its client area, where the keys a list
// leaves unused come too. A focused image is clicked by Space or Enter, as a
// button is.
bool Kalvio::handleOwnKey(QObject* watched, const QKeyEvent& key)
{
    if (key.modifiers() & ~Qt::KeypadModifier)
        return false;
    for (ImageControl* image : {pageBackArrow_, pageForwardArrow_, exitImage_}) {
        if (watched == image && isActivation(key.key())) {
            image->click();
            return true;
        }
    }
    return handleKey(-1, key);
}

// A key on cell `cell` of the grid (-1: elsewhere), or in the view: the
// grid's keys while the view is closed, the view's while it is open.
bool Kalvio::handleKey(int cell, const QKeyEvent& key, bool fromView)
{
    // Combinations (Shift+Tab, Ctrl+Q, Alt+S) are the focus chain's and the menus'.
    if (key.modifiers() & ~Qt::KeypadModifier)
        return false;
    // A list with the focus keeps every key, those it leaves unused at its
    // ends too: none of them reaches the pages.
    if (source_->hasKeyboardFocus())
        return true;
    const KeyActions::Where where = browsing_.viewOpen() ? KeyActions::Where::View : KeyActions::Where::Grid;
    const std::optional<Action> action = KeyActions::ForKey(where, key.key());
    if (!action)
        return false;
    // Space and Enter open a focused cell; F opens full screen from a cell
    // and from the view (the lists take letters to find names).
    if ((*action == Action::OpenFocused && cell < 0) || (*action == Action::FullScreen && cell < 0 && !fromView))
        return false;
    act(*action, cell);
    return true;
}

// The grid's and the view's actions; a page or step key acts only where its
// arrow or stepping image is shown.
void Kalvio::act(Action action, int cell)
{
    switch (action) {
    case Action::FocusLeft:
        grid_->moveFocus(-1);
        break;
    case Action::FocusRight:
        grid_->moveFocus(1);
        break;
    case Action::FocusUp:
        grid_->moveFocus(-GridColumns);
        break;
    case Action::FocusDown:
        grid_->moveFocus(GridColumns);
        break;
    case Action::OpenFocused:
        openCell(cell);
        break;
    case Action::PageForward:
        if (browsing_.pageArrows().forward)
            pageForwardArrowClicked();
        break;
    case Action::PageBack:
        if (browsing_.pageArrows().back)
            pageBackArrowClicked();
        break;
    case Action::FirstPage:
        if (browsing_.entryCount() > 0)
            showPageOf(0);
        break;
    case Action::LastPage:
        if (browsing_.entryCount() > 0)
            showPageOf(browsing_.entryCount() - 1);
        break;
    case Action::StepForward:
        if (browsing_.viewSteps().forward)
            stepForward();
        break;
    case Action::StepBack:
        if (browsing_.viewSteps().back)
            stepBack();
        break;
    case Action::CloseView:
        closeView();
        break;
    case Action::FullScreen:
        openFullScreen(fullScreenEntry());
        break;
    default: // the full screen's own
        break;
    }
}

// The wheel over the enlarged view steps through the pictures, over the rest
// of the grid and the page arrows it turns the pages; down is forward. Over a
// list it is the list's alone, also where the list can scroll no further, and
// elsewhere it does nothing. A fine-grained wheel acts once a whole notch has
// added up.
bool Kalvio::handleWheel(const QWheelEvent& wheel)
{
    const QPoint at = wheel.globalPosition().toPoint();
    const bool overView = browsing_.viewOpen() && view_->isUnder(at);
    if (!overView && !turnsPagesAt(at))
        return false;
    const int notches = wheel_.add(wheel.angleDelta().y());
    for (int n = 0; n < std::abs(notches); ++n) {
        const bool forward = notches < 0;
        const Browsing::Ways& ways = overView ? browsing_.viewSteps() : browsing_.pageArrows();
        if (!(forward ? ways.forward : ways.back))
            continue;
        if (overView)
            forward ? stepForward() : stepBack();
        else
            forward ? pageForwardArrowClicked() : pageBackArrowClicked();
    }
    return true;
}

// The grid, its gaps between the frames included, and the page arrows' places.
bool Kalvio::turnsPagesAt(QPoint global) const
{
    const QPoint at = client_->mapFromGlobal(global);
    return grid_->isUnder(global) || pageBackArrow_->geometry().contains(at) ||
           pageForwardArrow_->geometry().contains(at);
}
