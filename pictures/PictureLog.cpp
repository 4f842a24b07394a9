#include "PictureLog.h"

Q_LOGGING_CATEGORY(lcPictures, "kalvio.pictures", QtWarningMsg)

namespace Pictures {
namespace {

// Length of the well-formed UTF-8 sequence starting at text[at] (no
// overlong forms, surrogates or code points past U+10FFFF), or 0.
size_t utf8SequenceLength(std::string_view text, size_t at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

} // namespace

QString PrintablePath(std::string_view path)
{
    QString printable;
    for (size_t at = 0; at < path.size();) {
        const unsigned char byte = static_cast<unsigned char>(path[at]);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            printable += QLatin1Char(char(byte));
            ++at;
        } else if (const size_t length = byte >= 0x80 ? utf8SequenceLength(path, at) : 0) {
            printable += QString::fromUtf8(path.data() + at, qsizetype(length));
            at += length;
        } else {
            printable += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
            ++at;
        }
    }
    return printable;
}

} // namespace Pictures
