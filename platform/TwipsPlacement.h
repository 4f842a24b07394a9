#pragma once

#include <QRect>

class QWidget;

// Gives a widget Left/Top/Width/Height in twips. The twips are stored as set;
// the widget itself is placed at the pixel rectangle whose edges are the
// rounded twip edges, so neighbouring controls never open a gap between them.
class TwipsPlacement {
public:
    explicit TwipsPlacement(QWidget* widget) : widget_(widget) {}
    virtual ~TwipsPlacement() = default;

    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }

    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    void Move(double left, double top, double width, double height);

    // The control's own visibility flag, independent of whether its window is shown.
    bool Visible() const;

    static QRect PixelRect(double left, double top, double width, double height);

protected:
    void place();

private:
    QWidget* widget_;
    double left_ = 0;
    double top_ = 0;
    double width_ = 0;
    double height_ = 0;
};
