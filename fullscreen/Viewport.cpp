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
    if (!keepZoom_) {
        picture_ = picture;
        fit();
        return;
    }
    // A picture that could not be decoded has no size: the one before it
    // says where the next one is seen.
    if (!picture_.isEmpty())
        keptFocus_ = focus();
    picture_ = picture;
    const QSizeF size = picture_ * scale();
    centre_ = screenCentre() + QPointF((0.5 - keptFocus_.x()) * size.width(), (0.5 - keptFocus_.y()) * size.height());
    keepOnScreen();
}

void Viewport::setMode(Mode mode)
{
    mode_ = mode;
    fit();
}

void Viewport::setEnlargeSmall(bool enlarge)
{
    enlargeSmall_ = enlarge;
    fit();
}

// Fill, fit width and fit height reach the screen's edges whatever the
// picture's size: that is what they are asked for. Fit leaves a small
// picture at its own size unless asked to enlarge it.
double Viewport::modeScale() const
{
    if (picture_.isEmpty() || screen_.isEmpty())
        return 1;
    const double across = screen_.width() / picture_.width();
    const double down = screen_.height() / picture_.height();
    switch (mode_) {
    case Mode::Fill:
        return std::max(across, down);
    case Mode::FitWidth:
        return across;
    case Mode::FitHeight:
        return down;
    case Mode::Fit:
        break;
    }
    const double whole = std::min(across, down);
    return enlargeSmall_ ? whole : std::min(1.0, whole);
}

QPointF Viewport::focus() const
{
    const QSizeF size = picture_ * scale();
    if (size.isEmpty())
        return {0.5, 0.5};
    const QPointF off = screenCentre() - centre_;
    return {0.5 + off.x() / size.width(), 0.5 + off.y() / size.height()};
}

QRectF Viewport::pictureRect() const
{
    QSizeF size = picture_ * scale();
    // Fitted, a picture thinner than a pixel (1 × 65500 on a screen 1080 high)
    // is still shown a pixel wide rather than not at all. Zoomed, sizes stay
    // exact: scale 1 is one file pixel to one screen pixel.
    if (!scale_ && !picture_.isEmpty())
        size = size.expandedTo(QSizeF(1, 1));
    return QRectF(QPointF(std::round(centre_.x() - size.width() / 2), std::round(centre_.y() - size.height() / 2)),
                  size);
}

bool Viewport::canPan() const
{
    const QSizeF size = picture_ * scale();
    return size.width() > screen_.width() + 0.5 || size.height() > screen_.height() + 0.5;
}

void Viewport::fit()
{
    scale_.reset();
    centre_ = screenCentre();
    keepOnScreen();
}

void Viewport::zoomTo(double scale, QPointF anchor)
{
    const double from = this->scale();
    centre_ = anchor + (centre_ - anchor) * (scale / from);
    scale_ = scale;
    keepOnScreen();
}

// The next level above (direction 1) or below (-1) `from`, the mode's scale
// counted among the levels; `from` itself where there is none.
double Viewport::nextLevel(double from, int direction) const
{
    const double fitted = modeScale();
    double best = from;
    auto consider = [&](double level) {
        if ((level - from) * direction <= SameLevel * from)
            return;
        if (best == from || (level - best) * direction < 0)
            best = level;
    };
    for (const double level : ZoomLevels)
        consider(level);
    // Below the smallest level only the mode's scale lies (a picture more
    // than four times the screen, fitted).
    consider(fitted);
    return best;
}

void Viewport::zoomIn(QPointF anchor)
{
    const double next = nextLevel(scale(), 1);
    if (next == scale())
        return;
    if (next == modeScale())
        fit();
    else
        zoomTo(next, anchor);
}

void Viewport::zoomOut(QPointF anchor)
{
    const double next = nextLevel(scale(), -1);
    if (next == scale())
        return;
    // Below both the mode's scale and the smallest level there is nothing.
    if (next < std::min(modeScale(), ZoomLevels[0]) - 1e-9)
        return;
    if (next == modeScale())
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
    centre_ += by;
    keepOnScreen();
}

// A picture smaller than the screen in a direction stays centred in it; a
// larger one leaves no black edge on that side.
void Viewport::keepOnScreen()
{
    const QSizeF size = picture_ * scale();
    auto clampAxis = [](double centre, double picture, double screen) {
        if (picture <= screen)
            return screen / 2;
        return std::clamp(centre, screen - picture / 2, picture / 2);
    };
    centre_ = QPointF(clampAxis(centre_.x(), size.width(), screen_.width()),
                      clampAxis(centre_.y(), size.height(), screen_.height()));
}
