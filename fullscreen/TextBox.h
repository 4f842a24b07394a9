#pragma once

#include <QFont>
#include <QImage>
#include <QStringList>

// White lines on a translucent black box, what the full screen writes over
// the picture (the information panel, the overlay): rendered once into an
// image at the screen's device pixels, so that a repaint draws one image.
class TextBox {
public:
    // The box of `lines` in `font`, half a line of margin around them, for
    // a device pixel ratio of `ratio`. Each line draws within its own band:
    // marks piled above or below a letter end there instead of covering the
    // next line.
    static QImage Render(const QStringList& lines, const QFont& font, qreal ratio);
};
