#include "CaptionLabel.h"

#include "Colors.h"
#include "Twips.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

CaptionLabel::CaptionLabel(QWidget* parent) : ClickableWidget(parent), TwipsPlacement(this)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
}

void CaptionLabel::setCaption(const QString& caption)
{
    caption_ = caption;
    setAccessibleDescription(caption);
    fitToCaption();
    update();
}

void CaptionLabel::setTextColor(int color)
{
    textColor_ = color;
    update();
}

void CaptionLabel::setAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    fitToCaption();
}

void CaptionLabel::setLabelFont(const QFont& font)
{
    setFont(font);
    fitToCaption();
}

void CaptionLabel::fitToCaption()
{
    if (!autoSize_)
        return;
    const QFontMetricsF metrics(font());
    setWidth(Twips::fromPixels(std::ceil(metrics.horizontalAdvance(caption_))));
    setHeight(Twips::fromPixels(std::ceil(metrics.height())));
}

void CaptionLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(ToQColor(textColor_));
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignHCenter | Qt::AlignTop, caption_);
}
