#include "ImageControl.h"

#include "Twips.h"

#include <QPainter>

ImageControl::ImageControl(const QPixmap& picture, QWidget* parent)
    : ClickableWidget(parent), TwipsPlacement(this), picture_(picture)
{
    setFocusPolicy(Qt::NoFocus);
    Move(0, 0, Twips::FromPixels(picture_.width()), Twips::FromPixels(picture_.height()));
}

void ImageControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), picture_);
}
