#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>

// Where a picture lies on the full screen: fitted (never enlarged past its own
// size) and centred, or at a zoom of its own, moved about by panning. Sizes and
// points are in the screen's device pixels; the picture's size is that of the
// file as shown (upright, turned as the viewer turned it), so that scale 1 is
// one file pixel to one screen pixel whatever was decoded.
class Viewport {
public:
    // The zoom levels + and - step through, with the fitted scale among them.
    static constexpr double ZoomLevels[] = {0.25, 0.33, 0.5, 0.67, 1, 1.5, 2, 3, 4, 6, 8};

    void setScreen(QSizeF screen);
    // A new picture (or the same one turned): fitted again.
    void setPicture(QSizeF picture);

    bool isFitted() const { return !scale_; }
    QSizeF screen() const { return screen_; }
    double scale() const { return scale_.value_or(fitScale()); }
    double fitScale() const;
    // The picture's rectangle on the screen, its corner on whole pixels so that
    // scale 1 maps file pixels onto screen pixels exactly; fitted, at least a
    // pixel wide and high.
    QRectF pictureRect() const;
    // The picture reaches past the screen's edge, so panning moves it.
    bool canPan() const;

    void fit();
    // Zooms to `scale`, keeping the picture's point under `anchor` where it is.
    void zoomTo(double scale, QPointF anchor);
    void zoomIn(QPointF anchor);
    void zoomOut(QPointF anchor);
    // 1:1 about `anchor`, or back to fitted from any other zoom than fitted.
    void toggleOneToOne(QPointF anchor);
    // Moves the picture by `by`, as far as it still covers the screen there.
    void pan(QPointF by);

private:
    void keepOnScreen();
    double nextLevel(double from, int direction) const;

    QSizeF screen_;
    QSizeF picture_;
    std::optional<double> scale_; // nothing: fitted
    QPointF centre_;              // the picture's centre on the screen, when zoomed
};
