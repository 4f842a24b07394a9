#include "InfoPanelText.h"

#include "ShownText.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <cmath>

namespace {

// The ranges pictures are really taken in. A value outside them is a broken or
// made-up field (0, 2.3e-10, a signed rational gone negative; NaN fails every
// comparison) and is left out rather than shown as "f/0".
// The fastest lenses made for photography are about f/0.7, a few special ones
// near f/0.5; pinhole cameras reach a few hundred.
constexpr double FNumberRange[] = {0.5, 1000};
// Electronic shutters reach a few hundred-thousandths of a second; exposures of
// the night sky taken in the camera last hours at most.
constexpr double ExposureSecondsRange[] = {1e-6, 24 * 3600};
// Phone cameras' lenses are a little over 1 mm; the longest telephoto lenses,
// and telescopes used as one, a few metres.
constexpr double FocalLengthMmRange[] = {0.5, 10'000};
// ISO 1 up to the few million of the most sensitive cameras.
constexpr int IsoRange[] = {1, 10'000'000};

template <typename Number>
bool within(const std::optional<Number>& value, const Number (&range)[2])
{
    return value && *value >= range[0] && *value <= range[1];
}

QString sizeText(QSize size)
{
    return QStringLiteral("%1 × %2 px").arg(size.width()).arg(size.height());
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark();
}

// The run of letters and digits a text starts with ("NIKON" of "NIKON D2H",
// "LG" of "LG-H850"); empty when it starts with anything else.
QString firstWord(const QString& text)
{
    qsizetype end = 0;
    while (end < text.size() && isWordCharacter(text.at(end)))
        ++end;
    return text.first(end);
}

// The runs of letters and digits in a text.
QStringList wordsOf(const QString& text)
{
    QStringList words;
    QString word;
    for (const QChar c : text) {
        if (isWordCharacter(c)) {
            word += c;
        } else if (!word.isEmpty()) {
            words << word;
            word.clear();
        }
    }
    if (!word.isEmpty())
        words << word;
    return words;
}

QString labelled(const char* label, const QString& value)
{
    return QString::fromUtf8(label) + QStringLiteral(": ") + value;
}

} // namespace

QStringList InfoPanelText::lines() const
{
    QStringList out{ShownText::Of(name), QStringLiteral("%1 / %2").arg(position).arg(count)};
    if (!pixelSize.isEmpty())
        out << labelled("Rozměry", sizeText(pixelSize));
    if (fileBytes >= 0)
        out << labelled("Velikost souboru", fileSizeText(fileBytes));
    if (const QString date = info.dateTaken ? dateText(*info.dateTaken) : QString(); !date.isEmpty())
        out << labelled("Pořízeno", ShownText::Of(date));
    if (const QString camera = cameraText(info.make.value_or(QString()), info.model.value_or(QString()));
        !camera.isEmpty())
        out << labelled("Fotoaparát", ShownText::Of(camera));
    if (info.lens)
        out << labelled("Objektiv", ShownText::Of(*info.lens));
    if (within(info.exposureSeconds, ExposureSecondsRange))
        out << labelled("Expozice", exposureText(*info.exposureSeconds));
    if (within(info.fNumber, FNumberRange))
        out << labelled("Clona", QStringLiteral("f/") + decimalText(*info.fNumber));
    if (within(info.iso, IsoRange))
        out << labelled("ISO", QString::number(*info.iso));
    if (within(info.focalLengthMm, FocalLengthMmRange))
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
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    if (!date.isValid() || !QTime::fromString(match.captured(4), QStringLiteral("HH:mm:ss")).isValid())
        return {};
    return QStringLiteral("%1. %2. %3 %4")
        .arg(match.captured(3).toInt())
        .arg(match.captured(2).toInt())
        .arg(match.captured(1), match.captured(4));
}

QString InfoPanelText::cameraText(const QString& make, const QString& model)
{
    // Runs of spaces (padding, a space left before the NUL) count as one.
    const QString maker = make.simplified(), named = model.simplified();
    if (maker.isEmpty() || named.isEmpty())
        return named.isEmpty() ? maker : named;
    // Most models repeat the maker, whole ("Canon" "Canon EOS R5") or by the
    // word that names the brand ("NIKON CORPORATION" "NIKON D2H", "EASTMAN
    // KODAK COMPANY" "KODAK DC290"): the model alone says it then.
    const QString first = firstWord(named);
    if (named.startsWith(maker, Qt::CaseInsensitive) ||
        (!first.isEmpty() && wordsOf(maker).contains(first, Qt::CaseInsensitive)))
        return named;
    return maker + QLatin1Char(' ') + named;
}

QString InfoPanelText::exposureText(double seconds)
{
    if (seconds >= 1)
        return decimalText(seconds) + QStringLiteral(" s");
    // Cameras write exposures under a second as fractions of it (1/3 s,
    // 1/250 s), stored as such (10/30) or rounded (0.33, 0.3333): within 2 %
    // of 1/N, the precision of two significant digits, it is 1/N. Other
    // values from 0.3 s are tenths (4/5 is 0,8 s); shorter ones the nearest
    // fraction, where a tenth would say nothing.
    const double perSecond = 1 / seconds;
    const qint64 denominator = std::llround(perSecond);
    const bool reciprocal = denominator >= 2 && std::abs(perSecond - double(denominator)) <= 0.02 * double(denominator);
    if (reciprocal || seconds < 0.3)
        return QStringLiteral("1/%1 s").arg(denominator);
    return decimalText(seconds) + QStringLiteral(" s");
}

QString InfoPanelText::decimalText(double value)
{
    const double tenths = std::round(value * 10) / 10;
    if (tenths == std::floor(tenths))
        return QString::number(qint64(tenths));
    return QString::number(tenths, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}
