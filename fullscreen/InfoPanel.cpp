#include "InfoPanel.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QColor PanelColor(0, 0, 0, 170);

// The screen the desktop's font is made for, in logical pixels.
constexpr QSize ReferenceScreen(1920, 1080);
constexpr qreal LargestScale = 4;

// How much larger than the desktop's font the panel's is for a screen of
// `area` logical pixels: as many times as the screen is larger than
// 1920 × 1080 (3840 × 2160 at a pixel ratio of 1: twice), so that it takes the
// same share of the screen and is read from as far. A high-resolution screen
// with a pixel ratio (3840 × 2160 at 2 is 1920 × 1080 logical) has its text
// enlarged by the ratio already. Never smaller than the desktop's text, nor
// past four times it.
qreal scaleFor(QSize area)
{
    const qreal larger =
        std::min(qreal(area.width()) / ReferenceScreen.width(), qreal(area.height()) / ReferenceScreen.height());
    return std::clamp(larger, qreal(1), LargestScale);
}

} // namespace

// In pixels rather than points, so that the panel's image is drawn at the
// size the screen's font would have, whatever resolution the image claims.
QFont InfoPanel::panelFont(const QPainter& painter, QSize area)
{
    QFont font = painter.font();
    font.setPixelSize(std::max(1, int(std::lround(painter.fontInfo().pixelSize() * 1.3 * scaleFor(area)))));
    return font;
}

void InfoPanel::paint(QPainter& painter, const QStringList& lines, const QRect& area)
{
    const QFont font = panelFont(painter, area.size());
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (image_.isNull() || lines != lines_ || font != font_ || area.size() != area_ || ratio != ratio_)
        render(lines, font, area.size(), ratio);
    painter.drawImage(area.topLeft() + QPoint(margin_, margin_), image_);
}

void InfoPanel::render(const QStringList& lines, const QFont& font, QSize area, qreal ratio)
{
    lines_ = lines;
    font_ = font;
    area_ = area;
    ratio_ = ratio;

    const QFontMetrics metrics(font);
    margin_ = metrics.height() / 2;
    // The box stands a margin from the screen's edges and holds its text a
    // margin from its own; lines below the screen's edge are left out.
    const int widest = std::max(1, area.width() - 4 * margin_);
    const int fitting = std::max(1, (area.height() - 4 * margin_) / std::max(1, metrics.height()));
    shown_.clear();
    int width = 0;
    for (const QString& line : lines.mid(0, fitting)) {
        shown_ << (metrics.horizontalAdvance(line) > widest ? metrics.elidedText(line, Qt::ElideMiddle, widest) : line);
        width = std::max(width, metrics.horizontalAdvance(shown_.back()));
    }

    const QSize box(width + 2 * margin_, int(shown_.size()) * metrics.height() + 2 * margin_);
    image_ = QImage(QSize(int(std::ceil(box.width() * ratio)), int(std::ceil(box.height() * ratio))),
                    QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(ratio);
    image_.fill(PanelColor);
    QPainter painter(&image_);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.setLayoutDirection(Qt::LeftToRight);
    const int count = int(shown_.size());
    for (int i = 0; i < count; ++i) {
        // Each line draws within its own band: marks piled above or below a
        // letter end there instead of covering the next line.
        const int top = i == 0 ? 0 : margin_ + i * metrics.height();
        const int bottom = i == count - 1 ? box.height() : margin_ + (i + 1) * metrics.height();
        painter.setClipRect(QRect(0, top, box.width(), bottom - top));
        painter.drawText(QPoint(margin_, margin_ + i * metrics.height() + metrics.ascent()), shown_[i]);
    }
}
