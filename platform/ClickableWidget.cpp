#include "ClickableWidget.h"

#include <QMouseEvent>

void ClickableWidget::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void ClickableWidget::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit clicked();
}

void ClickableWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Qt would take it for a press, and the release after it for a second click.
    pressed_ = false;
    event->accept();
}
