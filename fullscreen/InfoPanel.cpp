#include "InfoPanel.h"

#include "TextBox.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

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
    for (const QString& line : lines.mid(0, fitting))
        shown_ << (metrics.horizontalAdvance(line) > widest ? metrics.elidedText(line, Qt::ElideMiddle, widest) : line);
    image_ = TextBox::Render(shown_, font, ratio);
}
