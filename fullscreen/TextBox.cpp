#include "TextBox.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QColor BoxColor(0, 0, 0, 170);

} // namespace

QImage TextBox::Render(const QStringList& lines, const QFont& font, qreal ratio)
{
    const QFontMetrics metrics(font);
    const int margin = metrics.height() / 2;
    int width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    const QSize box(width + 2 * margin, int(lines.size()) * metrics.height() + 2 * margin);
    QImage image(QSize(int(std::ceil(box.width() * ratio)), int(std::ceil(box.height() * ratio))),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(BoxColor);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.setLayoutDirection(Qt::LeftToRight);
    const int count = int(lines.size());
    for (int i = 0; i < count; ++i) {
        const int top = i == 0 ? 0 : margin + i * metrics.height();
        const int bottom = i == count - 1 ? box.height() : margin + (i + 1) * metrics.height();
        painter.setClipRect(QRect(0, top, box.width(), bottom - top));
        painter.drawText(QPoint(margin, margin + i * metrics.height() + metrics.ascent()), lines[i]);
    }
    return image;
}
