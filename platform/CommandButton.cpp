#include "CommandButton.h"

#include "Twips.h"

#include <QMouseEvent>

CommandButton::CommandButton(const QPixmap& picture, QWidget* parent) : QPushButton(parent), TwipsPlacement(this)
{
    setIcon(QIcon(picture));
    setIconSize(picture.size());
}

void CommandButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}
