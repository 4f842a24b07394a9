#include "TiffWalker.h"

namespace Pictures {
namespace {

constexpr quint32 HeaderBytes = 8;
constexpr quint32 EntryBytes = 12;

enum Type : quint16 { Ascii = 2, Short = 3, Long = 4, Rational = 5, SignedRational = 10 };

thread_local quint64 directoriesRead = 0;

quint64 bytesPerValue(quint16 type)
{
    switch (type) {
    case 3: // SHORT
    case 8: // SSHORT
        return 2;
    case 4:  // LONG
    case 9:  // SLONG
    case 11: // FLOAT
        return 4;
    case 5:  // RATIONAL
    case 10: // SRATIONAL
    case 12: // DOUBLE
        return 8;
    default: // BYTE, ASCII, SBYTE, UNDEFINED and unknown types
        return 1;
    }
}

} // namespace

TiffWalker::TiffWalker(QByteArrayView tiff) : tiff_(tiff)
{
    if (tiff_.size() < qsizetype(HeaderBytes) || (!tiff_.startsWith("MM") && !tiff_.startsWith("II"))) {
        ended_ = true;
        return;
    }
    bigEndian_ = tiff_.startsWith("MM");
    first_ = read32(4);
}

bool TiffWalker::inside(quint64 offset, quint64 length) const
{
    return offset <= quint64(tiff_.size()) && length <= quint64(tiff_.size()) - offset;
}

quint16 TiffWalker::read16(quint32 at) const
{
    const auto byte = [this](quint32 i) { return quint16(uchar(tiff_[qsizetype(i)])); };
    return bigEndian_ ? quint16(byte(at) << 8 | byte(at + 1)) : quint16(byte(at + 1) << 8 | byte(at));
}

quint32 TiffWalker::read32(quint32 at) const
{
    const quint32 high = read16(bigEndian_ ? at : at + 2), low = read16(bigEndian_ ? at + 2 : at);
    return high << 16 | low;
}

std::optional<std::vector<TiffWalker::Entry>> TiffWalker::directory(quint32 offset, quint32* next)
{
    if (next)
        *next = 0;
    if (ended_ || offset < HeaderBytes || !inside(offset, 2) || !visited_.insert(offset).second) {
        ended_ = true;
        return std::nullopt;
    }
    ++directoriesRead;
    // A directory that claims more entries than the bytes hold gives those there are.
    const quint32 claimed = std::min<quint32>(read16(offset), MaxEntries);
    std::vector<Entry> entries;
    entries.reserve(claimed);
    quint32 at = offset + 2;
    for (quint32 i = 0; i < claimed && inside(at, EntryBytes); ++i, at += EntryBytes)
        entries.push_back(Entry{read16(at), read16(at + 2), read32(at + 4), at + 8});
    if (next && entries.size() == claimed && inside(at, 4))
        *next = read32(at);
    return entries;
}

quint64 TiffWalker::DirectoriesReadOnThisThread()
{
    return directoriesRead;
}

std::optional<QByteArrayView> TiffWalker::dataOf(const Entry& entry) const
{
    const quint64 length = bytesPerValue(entry.type) * entry.count;
    if (length <= 4)
        return inside(entry.valueAt, length) ? std::optional(tiff_.sliced(entry.valueAt, qsizetype(length)))
                                             : std::nullopt;
    return bytes(read32(entry.valueAt), quint32(std::min<quint64>(length, 0xFFFFFFFF)));
}

std::optional<QByteArrayView> TiffWalker::bytes(quint32 offset, quint32 length) const
{
    if (!inside(offset, length))
        return std::nullopt;
    return tiff_.sliced(offset, length);
}

std::optional<quint32> TiffWalker::integer(const Entry& entry) const
{
    if ((entry.type != Short && entry.type != Long) || entry.count < 1 || !inside(entry.valueAt, 4))
        return std::nullopt;
    return entry.type == Short ? read16(entry.valueAt) : read32(entry.valueAt);
}

std::optional<double> TiffWalker::rational(const Entry& entry) const
{
    if ((entry.type != Rational && entry.type != SignedRational) || entry.count < 1)
        return std::nullopt;
    const std::optional<QByteArrayView> data = dataOf(entry);
    if (!data)
        return std::nullopt;
    const quint32 at = quint32(data->data() - tiff_.data());
    const quint32 numerator = read32(at), denominator = read32(at + 4);
    if (denominator == 0)
        return std::nullopt;
    if (entry.type == SignedRational)
        return double(qint32(numerator)) / double(qint32(denominator));
    return double(numerator) / double(denominator);
}

std::optional<QString> TiffWalker::text(const Entry& entry) const
{
    if (entry.type != Ascii)
        return std::nullopt;
    const std::optional<QByteArrayView> data = dataOf(entry);
    if (!data)
        return std::nullopt;
    QByteArrayView characters = *data;
    if (const qsizetype end = characters.indexOf('\0'); end >= 0)
        characters.truncate(end);
    const QString trimmed = QString::fromUtf8(characters).trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed;
}

} // namespace Pictures
