#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>

// Where a picture lies on the full screen: placed by the zoom mode (fitted and
// centred by default, never enlarged past its own size) or at a zoom of its
// own, moved about by panning. Sizes and points are in the screen's device
// pixels; the picture's size is that of the file as shown (upright, turned as
// the viewer turned it), so that scale 1 is one file pixel to one screen pixel
// whatever was decoded. The mode, enlarging and keeping the zoom hold across
// pictures: each new picture is placed by them.
class Viewport {
public:
    // The zoom levels + and - step through, with the mode's scale among them.
    static constexpr double ZoomLevels[] = {0.25, 0.33, 0.5, 0.67, 1, 1.5, 2, 3, 4, 6, 8};

    // How a picture is placed before the user zooms it.
    enum class Mode {
        Fit,       // whole on the screen, enlarged only if small pictures are
        Fill,      // covering the screen, cut at two edges, pannable
        FitWidth,  // as wide as the screen, panned up and down
        FitHeight, // as high as the screen, panned across
    };

    void setScreen(QSizeF screen);
    // A new picture (or the same one turned): placed by the mode, or, with the
    // zoom kept, at the zoom and about the point the last one was seen at.
    void setPicture(QSizeF picture);

    Mode mode() const { return mode_; }
    // Switches to `mode` and places the picture by it, dropping any zoom.
    void setMode(Mode mode);
    bool enlargesSmall() const { return enlargeSmall_; }
    // Fitting enlarges a picture smaller than the screen to the screen, or
    // leaves it at its own size (the default). Places the picture again.
    void setEnlargeSmall(bool enlarge);
    bool keepsZoom() const { return keepZoom_; }
    // Stepping keeps the zoom and the point of the picture at the middle of
    // the screen (as a share of its width and height) instead of placing
    // each picture by the mode: a burst compared at 100 %.
    void setKeepZoom(bool keep) { keepZoom_ = keep; }

    // Placed by the mode rather than at a zoom of the user's own.
    bool isFitted() const { return !scale_; }
    QSizeF screen() const { return screen_; }
    double scale() const { return scale_.value_or(modeScale()); }
    // The scale the mode places the picture at.
    double modeScale() const;
    // The picture's rectangle on the screen, its corner on whole pixels so that
    // scale 1 maps file pixels onto screen pixels exactly; fitted, at least a
    // pixel wide and high.
    QRectF pictureRect() const;
    // The picture reaches past the screen's edge, so panning moves it.
    bool canPan() const;

    // Back to the mode's placement.
    void fit();
    // Zooms to `scale`, keeping the picture's point under `anchor` where it is.
    void zoomTo(double scale, QPointF anchor);
    void zoomIn(QPointF anchor);
    void zoomOut(QPointF anchor);
    // 1:1 about `anchor`, or back to the mode from any other zoom than the mode's.
    void toggleOneToOne(QPointF anchor);
    // Moves the picture by `by`, as far as it still covers the screen there.
    void pan(QPointF by);

private:
    void keepOnScreen();
    double nextLevel(double from, int direction) const;
    QPointF screenCentre() const { return QPointF(screen_.width() / 2, screen_.height() / 2); }
    // The point of the picture at the middle of the screen, as a share of its size.
    QPointF focus() const;

    QSizeF screen_;
    QSizeF picture_;
    Mode mode_ = Mode::Fit;
    bool enlargeSmall_ = false;
    bool keepZoom_ = false;
    std::optional<double> scale_; // nothing: placed by the mode
    QPointF centre_;              // the picture's centre on the screen
    // Where the last picture with a size was seen, for a kept zoom across
    // one that could not be decoded.
    QPointF keptFocus_{0.5, 0.5};
};
