#include "TwipsPlacement.h"

#include "Twips.h"

#include <QWidget>

void TwipsPlacement::setLeft(double twips)
{
    left_ = twips;
    place();
}

void TwipsPlacement::setTop(double twips)
{
    top_ = twips;
    place();
}

void TwipsPlacement::setWidth(double twips)
{
    width_ = twips;
    place();
}

void TwipsPlacement::setHeight(double twips)
{
    height_ = twips;
    place();
}

void TwipsPlacement::Move(double left, double top, double width, double height)
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

QRect TwipsPlacement::PixelRect(double left, double top, double width, double height)
{
    const int x = Twips::ToPixels(left);
    const int y = Twips::ToPixels(top);
    const int right = Twips::ToPixels(left + width);
    const int bottom = Twips::ToPixels(top + height);
    return QRect(x, y, std::max(0, right - x), std::max(0, bottom - y));
}

void TwipsPlacement::place()
{
    widget_->setGeometry(PixelRect(left_, top_, width_, height_));
}
