#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// The dark-red edge on the frame of the cell that has the keyboard focus,
// shown while the keyboard moves the focus: Tab and the arrow keys show it, a
// click in the window's client area hides it. A mouse user sees the grid as
// it always was, though a click on a thumbnail takes the focus there. The
// lists keep their clicks and focus to themselves: they change nothing here.
class FocusEdge : public QObject {
    Q_OBJECT
public:
    // `area` is the window's client area; `cellOf` tells the cell of a
    // widget (-1 for none), `mark` draws or clears the edge of a cell.
    FocusEdge(QWidget* area, std::function<int(const QObject*)> cellOf, std::function<void(int cell, bool edge)> mark,
              QObject* parent);
    ~FocusEdge() override;

    // Shows or hides the edge on the focused cell.
    void show(bool shown);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool watches(const QObject* object) const;
    void focusMoved(QWidget* previous, QWidget* now);
    void noteFocusReason(Qt::FocusReason reason);

    QWidget* area_;
    std::function<int(const QObject*)> cellOf_;
    std::function<void(int, bool)> mark_;
    // The keyboard, not the mouse, moved the focus last: its cell shows the edge.
    bool shown_ = false;
    // The widget that had the focus as last reported; while the focus moves, the one it leaves.
    QPointer<QWidget> focused_;
};
