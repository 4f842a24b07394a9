#include "OverlayText.h"

#include "InfoPanelText.h"
#include "ShownText.h"
#include "SlideshowDelay.h"

#include <QStringList>

#include <cmath>

namespace {

QString modeText(Viewport::Mode mode, bool enlargeSmall)
{
    switch (mode) {
    case Viewport::Mode::Fill:
        return QStringLiteral("vyplnit obrazovku");
    case Viewport::Mode::FitWidth:
        return QStringLiteral("na šířku obrazovky");
    case Viewport::Mode::FitHeight:
        return QStringLiteral("na výšku obrazovky");
    case Viewport::Mode::Fit:
        break;
    }
    return enlargeSmall ? QStringLiteral("zvětšovat malé") : QString();
}

} // namespace

QString OverlayText::shownName() const
{
    return ShownText::Of(name);
}

QString OverlayText::details() const
{
    QStringList parts{QStringLiteral("%1 / %2").arg(position).arg(count)};
    if (scale)
        parts << zoomText(*scale);
    if (const QString modePart = modeText(mode, enlargeSmall); !modePart.isEmpty())
        parts << modePart;
    if (keepZoom)
        parts << QStringLiteral("pevné zvětšení");
    if (slideshowShown || slideshowRunning) {
        QString slideshow = slideshowRunning ? QStringLiteral("prezentace ") : QStringLiteral("prezentace vypnuta, ");
        slideshow += SlideshowDelay::text(delay);
        if (loop)
            slideshow += QStringLiteral(", dokola");
        if (random)
            slideshow += QStringLiteral(", náhodně");
        parts << slideshow;
    }
    return parts.join(separator());
}

QString OverlayText::line() const
{
    return shownName() + separator() + details();
}

QString OverlayText::separator()
{
    return QStringLiteral("  ·  ");
}

QString OverlayText::zoomText(double scale)
{
    const double percent = scale * 100;
    if (std::round(percent * 10) / 10 < 10)
        return InfoPanelText::decimalText(percent) + QStringLiteral(" %");
    return QString::number(std::llround(percent)) + QStringLiteral(" %");
}
