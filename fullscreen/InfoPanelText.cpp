#include "InfoPanelText.h"

#include <QRegularExpression>

#include <cmath>

namespace {

QString sizeText(QSize size)
{
    return QStringLiteral("%1 × %2 px").arg(size.width()).arg(size.height());
}

QString labelled(const char* label, const QString& value)
{
    return QString::fromUtf8(label) + QStringLiteral(": ") + value;
}

} // namespace

QStringList InfoPanelText::lines() const
{
    QStringList out{name, QStringLiteral("%1 / %2").arg(position).arg(count)};
    if (!pixelSize.isEmpty())
        out << labelled("Rozměry", sizeText(pixelSize));
    if (fileBytes >= 0)
        out << labelled("Velikost souboru", fileSizeText(fileBytes));
    if (info.dateTaken)
        out << labelled("Pořízeno", dateText(*info.dateTaken));
    // Many cameras repeat the maker in the model ("Canon" "Canon EOS R5").
    QString camera = info.model.value_or(QString());
    if (info.make && !camera.startsWith(*info.make, Qt::CaseInsensitive))
        camera = camera.isEmpty() ? *info.make : *info.make + QLatin1Char(' ') + camera;
    if (!camera.isEmpty())
        out << labelled("Fotoaparát", camera);
    if (info.lens)
        out << labelled("Objektiv", *info.lens);
    if (info.exposureSeconds && *info.exposureSeconds > 0)
        out << labelled("Expozice", exposureText(*info.exposureSeconds));
    if (info.fNumber && *info.fNumber > 0)
        out << labelled("Clona", QStringLiteral("f/") + decimalText(*info.fNumber));
    if (info.iso && *info.iso > 0)
        out << labelled("ISO", QString::number(*info.iso));
    if (info.focalLengthMm && *info.focalLengthMm > 0)
        out << labelled("Ohnisková vzdálenost", decimalText(*info.focalLengthMm) + QStringLiteral(" mm"));
    if (!reducedTo.isEmpty())
        out << QString::fromUtf8("Příliš velký pro plnou velikost: zobrazen v %1").arg(sizeText(reducedTo));
    return out;
}

QString InfoPanelText::fileSizeText(qint64 bytes)
{
    if (bytes < 1000)
        return QStringLiteral("%1 B").arg(bytes);
    if (bytes < 1000 * 1000)
        return decimalText(double(bytes) / 1e3) + QStringLiteral(" kB");
    if (bytes < qint64(1000) * 1000 * 1000)
        return decimalText(double(bytes) / 1e6) + QStringLiteral(" MB");
    return decimalText(double(bytes) / 1e9) + QStringLiteral(" GB");
}

QString InfoPanelText::dateText(const QString& exifDate)
{
    static const QRegularExpression format(QStringLiteral("^(\\d{4}):(\\d{2}):(\\d{2}) (\\d{2}:\\d{2}:\\d{2})$"));
    const QRegularExpressionMatch match = format.match(exifDate);
    if (!match.hasMatch())
        return exifDate;
    return QStringLiteral("%1. %2. %3 %4")
        .arg(match.captured(3).toInt())
        .arg(match.captured(2).toInt())
        .arg(match.captured(1), match.captured(4));
}

QString InfoPanelText::exposureText(double seconds)
{
    // Shorter than 0.3 s cameras name as a fraction of a second.
    if (seconds < 0.3)
        return QStringLiteral("1/%1 s").arg(std::lround(1 / seconds));
    return decimalText(seconds) + QStringLiteral(" s");
}

QString InfoPanelText::decimalText(double value)
{
    const double tenths = std::round(value * 10) / 10;
    if (tenths == std::floor(tenths))
        return QString::number(qint64(tenths));
    return QString::number(tenths, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}
