#include "TwipsPlacement.h"

#include <QWidget>

void TwipsPlacement::setLeft(Twips left)
{
    left_ = left;
    place();
}

void TwipsPlacement::setTop(Twips top)
{
    top_ = top;
    place();
}

void TwipsPlacement::setWidth(Twips width)
{
    width_ = width;
    place();
}

void TwipsPlacement::setHeight(Twips height)
{
    height_ = height;
    place();
}

void TwipsPlacement::Move(Twips left, Twips top, Twips width, Twips height)
{
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    place();
}

bool TwipsPlacement::Visible() const
{
    return !widget_->isHidden();
}

QRect TwipsPlacement::PixelRect(Twips left, Twips top, Twips width, Twips height)
{
    const int x = left.pixels();
    const int y = top.pixels();
    const int right = (left + width).pixels();
    const int bottom = (top + height).pixels();
    return QRect(x, y, std::max(0, right - x), std::max(0, bottom - y));
}

void TwipsPlacement::place()
{
    widget_->setGeometry(PixelRect(left_, top_, width_, height_));
}
