#include "Viewport.h"

#include <algorithm>
#include <cmath>

namespace {

// Levels closer than this are one: 0.67 and a fitted 0.6667 are not two steps.
constexpr double SameLevel = 0.02;

} // namespace

void Viewport::setScreen(QSizeF screen)
{
    screen_ = screen;
    keepOnScreen();
}

void Viewport::setPicture(QSizeF picture)
{
    picture_ = picture;
    fit();
}

double Viewport::fitScale() const
{
    if (picture_.isEmpty() || screen_.isEmpty())
        return 1;
    return std::min({1.0, screen_.width() / picture_.width(), screen_.height() / picture_.height()});
}

QRectF Viewport::pictureRect() const
{
    QSizeF size = picture_ * scale();
    // Fitted, a picture thinner than a pixel (1 × 65500 on a screen 1080 high)
    // is still shown a pixel wide rather than not at all. Zoomed, sizes stay
    // exact: scale 1 is one file pixel to one screen pixel.
    if (!scale_ && !picture_.isEmpty())
        size = size.expandedTo(QSizeF(1, 1));
    const QPointF centre = scale_ ? centre_ : QPointF(screen_.width() / 2, screen_.height() / 2);
    return QRectF(QPointF(std::round(centre.x() - size.width() / 2), std::round(centre.y() - size.height() / 2)), size);
}

bool Viewport::canPan() const
{
    const QSizeF size = picture_ * scale();
    return size.width() > screen_.width() + 0.5 || size.height() > screen_.height() + 0.5;
}

void Viewport::fit()
{
    scale_.reset();
    centre_ = QPointF(screen_.width() / 2, screen_.height() / 2);
}

void Viewport::zoomTo(double scale, QPointF anchor)
{
    const double from = this->scale();
    const QPointF centre = scale_ ? centre_ : QPointF(screen_.width() / 2, screen_.height() / 2);
    centre_ = anchor + (centre - anchor) * (scale / from);
    scale_ = scale;
    keepOnScreen();
}

// The next level above (direction 1) or below (-1) `from`, the fitted scale
// counted among the levels; `from` itself where there is none.
double Viewport::nextLevel(double from, int direction) const
{
    const double fitted = fitScale();
    double best = from;
    auto consider = [&](double level) {
        if ((level - from) * direction <= SameLevel * from)
            return;
        if (best == from || (level - best) * direction < 0)
            best = level;
    };
    for (const double level : ZoomLevels)
        consider(level);
    // Below the smallest level only the fitted scale lies (a picture more
    // than four times the screen).
    consider(fitted);
    return best;
}

void Viewport::zoomIn(QPointF anchor)
{
    const double next = nextLevel(scale(), 1);
    if (next == scale())
        return;
    if (next == fitScale())
        fit();
    else
        zoomTo(next, anchor);
}

void Viewport::zoomOut(QPointF anchor)
{
    const double next = nextLevel(scale(), -1);
    if (next == scale())
        return;
    // Below both the fitted scale and the smallest level there is nothing.
    if (next < std::min(fitScale(), ZoomLevels[0]) - 1e-9)
        return;
    if (next == fitScale())
        fit();
    else
        zoomTo(next, anchor);
}

void Viewport::toggleOneToOne(QPointF anchor)
{
    if (scale_ && std::abs(*scale_ - 1) < 1e-9)
        fit();
    else
        zoomTo(1, anchor);
}

void Viewport::pan(QPointF by)
{
    if (!scale_)
        return;
    centre_ += by;
    keepOnScreen();
}

// A picture smaller than the screen in a direction stays centred in it; a
// larger one leaves no black edge on that side.
void Viewport::keepOnScreen()
{
    if (!scale_)
        return;
    const QSizeF size = picture_ * *scale_;
    auto clampAxis = [](double centre, double picture, double screen) {
        if (picture <= screen)
            return screen / 2;
        return std::clamp(centre, screen - picture / 2, picture / 2);
    };
    centre_ = QPointF(clampAxis(centre_.x(), size.width(), screen_.width()),
                      clampAxis(centre_.y(), size.height(), screen_.height()));
}
