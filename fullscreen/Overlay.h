#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

class QPainter;
struct OverlayText;

// The one-line overlay of the full-screen view: name, place, zoom (and the
// slideshow's state) in white on a translucent black box at the bottom left,
// legible on any picture. Rendered once into an image at the screen's device
// pixels and again only when the text, the font, the screen's size or its
// pixel ratio change, so a repaint costs one image drawn. A line too wide for
// the screen has its name shortened in the middle (its start and extension
// kept), the rest left whole while there is room for it.
class Overlay {
public:
    void paint(QPainter& painter, const OverlayText& text, const QRect& area);

    // The box as last rendered, with its device pixel ratio, where it was
    // drawn, and its text, shortened to the screen.
    const QImage& image() const { return image_; }
    QRect placed() const { return placed_; }
    const QString& shownLine() const { return shown_; }

private:
    static QFont overlayFont(const QPainter& painter, QSize area);
    void render(const QFont& font, QSize area, qreal ratio);

    // What image_ was rendered from.
    QString name_;
    QString details_;
    QFont font_;
    QSize area_;
    qreal ratio_ = 0;

    QString shown_;
    QImage image_;
    QRect placed_;
    int margin_ = 0;
};
