#include "WindowRules.h"

#include <cmath>

namespace WindowRules {

QString ThumbnailName(const QString& name)
{
    return name.startsWith(u'R') ? QStringLiteral("THM/T") + name.mid(1) : name;
}

QRectF FitPicture(QSize picture, QSizeF box, Fit fit)
{
    const double pw = picture.width();
    const double ph = picture.height();
    const double span = box.width();
    const bool whole = fit == Fit::WholeTwips;
    double width = span;
    double height = span;
    if (pw > ph)
        height = whole ? std::floor(ph / pw * span) : (ph / pw) * span;
    else
        width = whole ? std::floor(pw / ph * span) : (pw / ph) * span;
    if (whole && pw <= ph)
        height = std::round(span);
    double x = (box.width() - width) / 2;
    double y = (box.height() - height) / 2;
    if (whole) {
        x = std::floor(x);
        y = std::floor(y);
    }
    return {x, y, width, height};
}

QString LastCharacters(const QString& text, int count)
{
    qsizetype start = text.size();
    for (int taken = 0; taken < count && start > 0; ++taken) {
        --start;
        if (start > 0 && text.at(start).isLowSurrogate() && text.at(start - 1).isHighSurrogate())
            --start;
    }
    return text.mid(start);
}

QString WhyNoPicture(Pictures::Failure failure)
{
    switch (failure) {
    case Pictures::Failure::None:
        break;
    case Pictures::Failure::Unreadable:
        return QStringLiteral("Soubor nelze přečíst");
    case Pictures::Failure::NotAPicture:
        return QStringLiteral("Soubor není obrázek JPEG, BMP ani GIF");
    case Pictures::Failure::Damaged:
        return QStringLiteral("Poškozený obrázek");
    case Pictures::Failure::TooLarge:
        return QStringLiteral("Obrázek je příliš velký");
    case Pictures::Failure::TooSlow:
        return QStringLiteral("Dekódování trvalo příliš dlouho");
    case Pictures::Failure::Cancelled: // never kept: asked for again, it is decoded again
        break;
    }
    return {};
}

} // namespace WindowRules
