#pragma once

#include "Decode.h"
#include "Viewport.h"

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSize>

// The part of a picture decoded for a zoomed full screen, and which part to
// ask for. Zoomed past the pixels of the picture decoded for the fitted
// screen, only what is on the screen (and a margin around it, for panning)
// is decoded again, at the zoom's scale or the file's own when enlarged, so
// that even a 100-megapixel picture is seen pixel for pixel in a few
// screens' worth of memory.
//
// Areas are in the upright file's pixels (as the decoder gives them),
// before the viewer's own turning; the viewport's picture is the turned one.
class ZoomedPart {
public:
    // Screen pixels decoded beyond each edge of the screen: panning that
    // far needs no decode. A new part is asked for once the screen comes
    // within half of it of the held part's edge, so that panning on finds
    // it decoded.
    static constexpr int MarginPixels = 256;
    // Parts start and end on this grid of file pixels (or the picture's
    // edge), so that a view moved by a few pixels asks for the same part.
    static constexpr int GridPixels = 256;

    // What a part is asked for: the area and the box it is fitted into.
    struct Wanted {
        QRect area;
        QSize box;
        bool operator==(const Wanted&) const = default;
    };

    // The part of the upright picture of fileSize turned `turns` quarters
    // clockwise on screen that the viewport shows.
    static QRect VisibleArea(const Viewport& viewport, QSize fileSize, int turns);
    // What 1 is likely to show, decoded ahead about the pointer: the screen
    // with a narrow margin, so that with the pictures either side it fits
    // the screen cache, and a pointer moved a little still finds it.
    static constexpr int AheadMarginPixels = 64;

    // The part to ask for to show the viewport, with a margin.
    static Wanted WantedFor(const Viewport& viewport, QSize fileSize, int turns, int marginPixels = MarginPixels,
                            int gridPixels = GridPixels);
    // Only what is on the screen: the quickest part to decode, while
    // nothing is held at this zoom.
    static Wanted OnScreen(const Viewport& viewport, QSize fileSize, int turns);
    // Where an upright area lies in the picture turned `turns` quarters.
    static QRect TurnedArea(QRect area, QSize fileSize, int turns);

    // Takes a decoded part (turned as the viewer turns the picture).
    void take(const Pictures::Picture& picture, int turns);
    void clear();
    bool isEmpty() const { return turned_.isNull(); }
    QRect area() const { return area_; }
    // The part held in the turned picture's pixels, and its image turned.
    QRect turnedArea() const { return turnedArea_; }
    const QImage& turnedImage() const { return turned_; }
    // It shows all of visible with at least `scale` of its pixels per file pixel.
    bool covers(QRect visible, double scale) const;
    // Held at the file's own pixels, one image pixel for each.
    bool isFullSize() const { return !turned_.isNull() && turnedArea_.size() == turned_.size(); }

private:
    static Wanted Fitted(QRect area, double scale);

    QRect area_;
    QRect turnedArea_;
    QImage turned_;
};
