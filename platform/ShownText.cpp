#include "ShownText.h"

#include <algorithm>

namespace ShownText {
namespace {

constexpr char32_t Replacement = 0xFFFD;
constexpr char16_t LeftToRightIsolate = 0x2066;
constexpr char16_t PopDirectionalIsolate = 0x2069;

// Printable ASCII needs nothing done: nearly every name is only that.
bool isPlainAscii(const QString& text)
{
    return std::all_of(text.utf16(), text.utf16() + text.size(),
                       [](char16_t unit) { return unit >= 0x20 && unit < 0x7F; });
}

// The code point at text[i], and how many UTF-16 units it takes. A surrogate
// without its other half (escaped native bytes are such) is U+FFFD.
char32_t codePointAt(const QString& text, qsizetype i, qsizetype& units)
{
    const char16_t unit = text.at(i).unicode();
    units = 1;
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
        units = 2;
        return QChar::surrogateToUcs4(unit, text.at(i + 1).unicode());
    }
    return QChar::isSurrogate(unit) ? Replacement : unit;
}

bool isCombiningMark(char32_t cp)
{
    const QChar::Category category = QChar::category(cp);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

// What stands on screen for code point cp: itself, or U+FFFD for a character
// that would not be seen or would break the line. U+FFFD rather than, say, the
// control pictures U+2400...: the fonts installed with the program draw it,
// where a picture missing from them would be one more empty box.
char32_t visibleForm(char32_t cp)
{
    const bool joiner = cp == 0x200C || cp == 0x200D;
    switch (QChar::category(cp)) {
    case QChar::Other_Control: // C0, DEL and C1
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return Replacement;
    case QChar::Other_Format:
        return joiner ? cp : Replacement;
    default:
        return cp;
    }
}

bool isRightToLeft(char32_t cp)
{
    const QChar::Direction direction = QChar::direction(cp);
    return direction == QChar::DirR || direction == QChar::DirAL || direction == QChar::DirAN;
}

void append(QString& out, char32_t cp)
{
    if (QChar::requiresSurrogates(cp)) {
        out += QChar(QChar::highSurrogate(cp));
        out += QChar(QChar::lowSurrogate(cp));
    } else {
        out += QChar(char16_t(cp));
    }
}

} // namespace

QString Of(const QString& text)
{
    if (isPlainAscii(text))
        return text;
    QString out;
    out.reserve(text.size() + 2);
    bool rightToLeft = false;
    int marks = 0; // combining marks on the current character so far
    qsizetype units = 1;
    for (qsizetype i = 0; i < text.size(); i += units) {
        const char32_t cp = codePointAt(text, i, units);
        if (isCombiningMark(cp)) {
            ++marks;
            if (marks == MarksPerCharacter + 1)
                append(out, Replacement);
            if (marks > MarksPerCharacter)
                continue;
        } else {
            marks = 0;
        }
        const char32_t shown = visibleForm(cp);
        rightToLeft = rightToLeft || isRightToLeft(shown);
        append(out, shown);
    }
    if (rightToLeft)
        return QChar(LeftToRightIsolate) + out + QChar(PopDirectionalIsolate);
    return out;
}

} // namespace ShownText
