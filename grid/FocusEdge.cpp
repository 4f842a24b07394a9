#include "FocusEdge.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>

FocusEdge::FocusEdge(QWidget* area, std::function<int(const QObject*)> cellOf,
                     std::function<void(int cell, bool edge)> mark, QObject* parent)
    : QObject(parent), area_(area), cellOf_(std::move(cellOf)), mark_(std::move(mark))
{
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &FocusEdge::focusMoved);
}

FocusEdge::~FocusEdge()
{
    // The window closing as it is destroyed moves the focus once more; that
    // must not reach cells that are already gone.
    disconnect(qApp, &QApplication::focusChanged, this, &FocusEdge::focusMoved);
}

void FocusEdge::show(bool shown)
{
    shown_ = shown;
    focusMoved(nullptr, area_->window()->focusWidget());
}

// The client area and what it holds, but for the lists and their insides.
bool FocusEdge::watches(const QObject* object) const
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    if (!widget || !(widget == area_ || area_->isAncestorOf(widget)))
        return false;
    for (const QWidget* inside = widget; inside && inside != area_; inside = inside->parentWidget()) {
        if (qobject_cast<const QAbstractItemView*>(inside))
            return false;
    }
    return true;
}

bool FocusEdge::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (watches(watched))
            show(false);
        break;
    case QEvent::FocusIn:
        if (watches(watched))
            noteFocusReason(static_cast<QFocusEvent*>(event)->reason());
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void FocusEdge::focusMoved(QWidget* previous, QWidget* now)
{
    focused_ = now;
    if (const int cell = cellOf_(previous); cell >= 0)
        mark_(cell, false);
    if (const int cell = cellOf_(now); cell >= 0)
        mark_(cell, shown_);
}

// Tab and the arrow keys show the edge, a click hides it. The focus moves on
// as by Tab from a cell being disabled or a view being hidden, but no key
// moved it then; nor when the view hands it back to its cell.
void FocusEdge::noteFocusReason(Qt::FocusReason reason)
{
    const bool byTab = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    if (byTab && (!focused_ || (focused_->isEnabled() && focused_->isVisible())))
        show(true);
    else if (reason == Qt::MouseFocusReason)
        show(false);
}
