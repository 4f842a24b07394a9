#pragma once

#include "Twips.h"

#include <QRect>

class QWidget;

// A rectangle in twips.
struct TwipsRect {
    Twips left;
    Twips top;
    Twips width;
    Twips height;
    Twips right() const { return left + width; }
    Twips bottom() const { return top + height; }
    bool operator==(const TwipsRect&) const = default;
};

// Gives a widget Left/Top/Width/Height in twips. The twips are stored as set;
// the widget itself is placed at the pixel rectangle whose edges are the
// rounded twip edges, so neighbouring controls never open a gap between them.
class TwipsPlacement {
public:
    explicit TwipsPlacement(QWidget* widget) : widget_(widget) {}
    virtual ~TwipsPlacement() = default;

    Twips Left() const { return left_; }
    Twips Top() const { return top_; }
    Twips Width() const { return width_; }
    Twips Height() const { return height_; }

    void setLeft(Twips left);
    void setTop(Twips top);
    void setWidth(Twips width);
    void setHeight(Twips height);
    void Move(Twips left, Twips top, Twips width, Twips height);
    void Move(const TwipsRect& place) { Move(place.left, place.top, place.width, place.height); }
    TwipsRect Place() const { return {left_, top_, width_, height_}; }

    // The control's own visibility flag, independent of whether its window is shown.
    bool Visible() const;

    static QRect PixelRect(Twips left, Twips top, Twips width, Twips height);

protected:
    void place();

private:
    QWidget* widget_;
    Twips left_;
    Twips top_;
    Twips width_;
    Twips height_;
};
