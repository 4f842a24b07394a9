#include "ImageControl.h"

#include "Twips.h"

#include <QPainter>

ImageControl::ImageControl(const QPixmap& picture, QWidget* parent)
    : QWidget(parent), TwipsPlacement(this), picture_(picture)
{
    setFocusPolicy(Qt::NoFocus);
    Move(0, 0, Twips::FromPixels(picture_.width()), Twips::FromPixels(picture_.height()));
}

void ImageControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), picture_);
}

void ImageControl::mousePressEvent(QMouseEvent* event)
{
    click_.press(event);
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (click_.release(event, rect()))
        emit clicked();
}
