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

int Kalvio::cellOf(const QObject* control) const
{
    for (int i = 0; i < CellCount; ++i) {
        if (control == Obr[i] || control == Okno[i])
            return i;
    }
    return -1;
}

bool Kalvio::handleKey(QObject* watched, const QKeyEvent& key)
{
    // Combinations (Shift+Tab, Ctrl+Q, Alt+S) are the focus chain's and the menus'.
    if (key.modifiers() & ~Qt::KeypadModifier)
        return false;
    // A focused image is clicked by Space or Enter, as a button is.
    for (ImageControl* image : {Nazad, Vpred, Koniec, LupaMinus, LupaPlus}) {
        if (watched == image && isActivation(key.key())) {
            image->click();
            return true;
        }
    }
    if (key.key() == Qt::Key_F || key.key() == Qt::Key_F11) {
        openFullScreen(fullScreenEntry());
        return true;
    }
    return ZoomOkno->Visible() ? handleViewKey(key.key()) : handleGridKey(cellOf(watched), key.key());
}

// In the enlarged view: step to the next or previous picture where that
// stepping image is shown, or close the view.
bool Kalvio::handleViewKey(int key)
{
    switch (key) {
    case Qt::Key_Right:
    case Qt::Key_Space:
    case Qt::Key_PageDown:
        if (LupaPlus->Visible())
            LupaPlus_Click();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Backspace:
    case Qt::Key_PageUp:
        if (LupaMinus->Visible())
            LupaMinus_Click();
        return true;
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ZoomOkno_Click();
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
        if (Vpred->Visible())
            Vpred_Click();
        return true;
    case Qt::Key_PageUp:
        if (Nazad->Visible())
            Nazad_Click();
        return true;
    case Qt::Key_Home:
        if (File1->ListCount() > 0)
            showPageOf(0);
        return true;
    case Qt::Key_End:
        if (File1->ListCount() > 0)
            showPageOf(File1->ListCount() - 1);
        return true;
    default:
        if (cell < 0 || !isActivation(key))
            return false;
        Obr_Click(cell);
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
    Obr[target]->setFocus(Qt::TabFocusReason);
    return true;
}

// The frame of the cell that has the keyboard focus carries an edge.
void Kalvio::markFocusedCell(QWidget* previous, QWidget* now)
{
    if (const int cell = cellOf(previous); cell >= 0)
        Okno[cell]->setEdgeColor(std::nullopt);
    if (const int cell = cellOf(now); cell >= 0)
        Okno[cell]->setEdgeColor(WindowColors::FocusEdge);
}

// The wheel over the enlarged view steps through the pictures, anywhere
// else over the grid it turns the pages; down is forward. A fine-grained
// wheel acts once a whole notch has added up.
bool Kalvio::handleWheel(const QWheelEvent& wheel)
{
    wheelTurned_ += wheel.angleDelta().y();
    const int notches = wheelTurned_ / WheelNotch;
    wheelTurned_ %= WheelNotch;
    const QPoint at = ZoomOkno->mapFromGlobal(wheel.globalPosition().toPoint());
    const bool overView = ZoomOkno->Visible() && ZoomOkno->rect().contains(at);
    for (int n = 0; n < std::abs(notches); ++n) {
        const bool forward = notches < 0;
        ImageControl* step = overView ? (forward ? LupaPlus : LupaMinus) : (forward ? Vpred : Nazad);
        if (step->Visible())
            step->click();
    }
    return true;
}
