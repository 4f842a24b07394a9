#include "CommandButton.h"

#include "Twips.h"

CommandButton::CommandButton(const QPixmap& picture, QWidget* parent) : QPushButton(parent), TwipsPlacement(this)
{
    setIcon(QIcon(picture));
    setIconSize(picture.size());
}
