#include "FrameButton.h"

#include "Colors.h"
#include "ShownText.h"

#include <QPainter>

FrameButton::FrameButton(const QPixmap& picture, QWidget* parent)
    : QAbstractButton(parent), TwipsPlacement(this), picture_(picture)
{
    setFocusPolicy(Qt::NoFocus);
}

void FrameButton::setBackColor(int color)
{
    backColor_ = color;
    update();
}

void FrameButton::setEdgeColor(std::optional<int> color)
{
    edgeColor_ = color;
    update();
}

void FrameButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(backColor_));
    if (edgeColor_) {
        constexpr int EdgePixels = 3;
        painter.setPen(QPen(ToQColor(*edgeColor_), EdgePixels, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(
            QRectF(rect()).adjusted(EdgePixels / 2.0, EdgePixels / 2.0, -EdgePixels / 2.0, -EdgePixels / 2.0));
    }
    const QFontMetrics metrics(font());
    const QRect captionArea(0, height() - metrics.height() - 2, width(), metrics.height());
    const QRect pictureArea(0, 0, width(), captionArea.top());
    painter.drawPixmap(
        QRect(pictureArea.center() - QPoint(picture_.width() / 2, picture_.height() / 2), picture_.size()), picture_);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(captionArea, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                     metrics.elidedText(ShownText::Of(text()), Qt::ElideMiddle, width() - 4));
}
