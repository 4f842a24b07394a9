#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QStringList>

class QPainter;

// The information panel drawn on the full-screen view: its lines on a
// translucent black box in the top left corner, left to right whatever the
// text. The box is laid out and rendered once, into an image at the screen's
// device pixels, and made again only when the lines, the font, the screen's
// size or its pixel ratio change: a repaint (panning, the pointer hiding) then
// costs one image drawn, whatever the text holds. A line too wide for the
// screen is shortened in the middle, keeping what it is (its start) and a
// name's extension (its end).
class InfoPanel {
public:
    // Draws `lines` in the top left corner of `area`, in the painter's font
    // enlarged by a third, and more on a screen larger than 1920 × 1080
    // logical pixels (twice at 3840 × 2160), margins with it.
    void paint(QPainter& painter, const QStringList& lines, const QRect& area);

    // The panel as last rendered, with its device pixel ratio, and the lines
    // on it, shortened to the screen.
    const QImage& image() const { return image_; }
    const QStringList& shownLines() const { return shown_; }

private:
    static QFont panelFont(const QPainter& painter, QSize area);
    void render(const QStringList& lines, const QFont& font, QSize area, qreal ratio);

    // What image_ was rendered from.
    QStringList lines_;
    QFont font_;
    QSize area_;
    qreal ratio_ = 0;

    QStringList shown_;
    QImage image_;
    int margin_ = 0;
};
