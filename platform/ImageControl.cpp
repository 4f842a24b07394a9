#include "ImageControl.h"

#include "Twips.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

ImageControl::ImageControl(const QPixmap& picture, QWidget* parent)
    : ClickableWidget(parent), TwipsPlacement(this), picture_(picture)
{
    setFocusPolicy(Qt::NoFocus);
    Move(Twips(), Twips(), Twips::fromPixels(picture_.width()), Twips::fromPixels(picture_.height()));
}

void ImageControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), picture_);
    if (hasFocus()) {
        // The focus shows as a dotted outline, as on a button.
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
