#include "NativeName.h"

#include <algorithm>

namespace NativeName {
namespace {

constexpr char16_t EscapeBase = 0xDC80;

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence starting at bytes[i], or 0 when the bytes
// there are not one (overlong forms, surrogates and values past U+10FFFF are
// invalid too).
size_t validSequenceLength(std::string_view bytes, size_t i, char32_t& codePoint)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[i + k]);
        if (!isContinuation(next))
            return 0;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    codePoint = value;
    return length;
}

bool isEscapedByte(char16_t unit)
{
    return unit >= EscapeBase && unit <= EscapeBase + 0x7F;
}

// True when name[i] stands for a byte that is not UTF-8, rather than being
// the second half of a character beyond the basic plane.
bool isEscapeAt(const QString& name, qsizetype i)
{
    const bool pairedLow = i > 0 && QChar::isHighSurrogate(name.at(i - 1).unicode());
    return isEscapedByte(name.at(i).unicode()) && !pairedLow;
}

QString hexEscape(unsigned byte)
{
    return QStringLiteral("\\x") + QString::number(byte, 16).rightJustified(2, u'0').toUpper();
}

} // namespace

QString Decode(std::string_view bytes)
{
    // Every byte gives at most one UTF-16 unit (four bytes give two), so the
    // result fits in as many units as there are bytes.
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* write = out.data();
    size_t i = 0;
    while (i < bytes.size()) {
        char32_t cp = 0;
        const size_t length = validSequenceLength(bytes, i, cp);
        if (length == 0) {
            // Only bytes 0x80..0xFF can be invalid; they map to U+DC80..U+DCFF.
            *write++ = QChar(static_cast<char16_t>(EscapeBase - 0x80 + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        if (QChar::requiresSurrogates(cp)) {
            *write++ = QChar(QChar::highSurrogate(cp));
            *write++ = QChar(QChar::lowSurrogate(cp));
        } else {
            *write++ = QChar(static_cast<char16_t>(cp));
        }
        i += length;
    }
    out.truncate(write - out.constData());
    return out;
}

std::string Encode(const QString& name)
{
    std::string out;
    out.reserve(static_cast<size_t>(name.size()));
    const auto units = name.utf16();
    const qsizetype size = name.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = units[i];
        if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(units[i + 1])) {
            AppendUtf8(out, QChar::surrogateToUcs4(unit, units[i + 1]));
            ++i;
        } else if (isEscapedByte(unit)) {
            out += static_cast<char>(unit - EscapeBase + 0x80);
        } else if (QChar::isSurrogate(unit)) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::filesystem::path ToPath(const QString& name)
{
    return std::filesystem::path(Encode(name));
}

QString FromPath(const std::filesystem::path& path)
{
    return Decode(path.native());
}

QString Display(const QString& name)
{
    const auto isControl = [](char16_t unit) { return unit < 0x20 || unit == 0x7F; };
    // Nearly every name holds no escaped byte and no control character, and is shown as it is.
    if (std::none_of(name.utf16(), name.utf16() + name.size(),
                     [&](char16_t unit) { return isEscapedByte(unit) || isControl(unit); }))
        return name;
    QString out = name;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (isEscapeAt(out, i) || isControl(out.at(i).unicode()))
            out[i] = QChar(QChar::ReplacementCharacter);
    }
    return out;
}

QString Printable(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name.at(i).unicode();
        if (isEscapeAt(name, i))
            out += hexEscape(unit - EscapeBase + 0x80);
        else if (unit < 0x20 || unit == 0x7F || unit == u'\\')
            out += hexEscape(unit);
        else
            out += QChar(unit);
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace NativeName
