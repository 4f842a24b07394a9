#include "Overlay.h"

#include "OverlayText.h"
#include "TextBox.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

// The window's font enlarged by a third, and at least a fiftieth of the
// screen's height, so that it reads from a chair at 4K as at 1080 lines. In
// pixels rather than points: the image is drawn at the size the screen's
// font would have, whatever resolution it claims.
QFont Overlay::overlayFont(const QPainter& painter, QSize area)
{
    QFont font = painter.font();
    const double pixels = std::max(painter.fontInfo().pixelSize() * 1.3, area.height() / 54.0);
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    return font;
}

void Overlay::paint(QPainter& painter, const OverlayText& text, const QRect& area)
{
    const QFont font = overlayFont(painter, area.size());
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QString name = text.shownName();
    const QString details = OverlayText::separator() + text.details();
    if (image_.isNull() || name != name_ || details != details_ || font != font_ || area.size() != area_ ||
        ratio != ratio_) {
        name_ = name;
        details_ = details;
        render(font, area.size(), ratio);
    }
    placed_ = QRect(area.left() + margin_, area.bottom() + 1 - margin_ - int(std::ceil(image_.height() / ratio)),
                    int(std::ceil(image_.width() / ratio)), int(std::ceil(image_.height() / ratio)));
    painter.drawImage(placed_.topLeft(), image_);
}

void Overlay::render(const QFont& font, QSize area, qreal ratio)
{
    font_ = font;
    area_ = area;
    ratio_ = ratio;

    const QFontMetrics metrics(font);
    margin_ = metrics.height() / 2;
    // The box stands a margin from the screen's edges and holds its text a
    // margin from its own.
    const int widest = std::max(1, area.width() - 4 * margin_);
    const int forName = widest - metrics.horizontalAdvance(details_);
    // The name gives way first; with no room left even for a few of its
    // letters, the line as a whole is shortened.
    if (metrics.horizontalAdvance(name_) <= forName)
        shown_ = name_ + details_;
    else if (forName >= metrics.horizontalAdvance(QStringLiteral("MMMM…")))
        shown_ = metrics.elidedText(name_, Qt::ElideMiddle, forName) + details_;
    else
        shown_ = metrics.elidedText(name_ + details_, Qt::ElideMiddle, widest);

    image_ = TextBox::Render({shown_}, font, ratio);
}
