#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <set>
#include <vector>

namespace Pictures {

// Reads the directories of a TIFF structure (an EXIF block's) one at a time,
// within its bytes. It never loops: each directory offset is read at most
// once, and an offset seen before or outside the bytes ends the walk (what
// was read until then stays valid). A directory gives at most MaxEntries
// entries, however many it claims.
class TiffWalker {
public:
    static constexpr int MaxEntries = 1000;

    struct Entry {
        quint16 tag = 0;
        quint16 type = 0;
        quint32 count = 0;
        quint32 valueAt = 0; // where the value field sits in the bytes
    };

    // tiff: from the byte-order mark on. An unknown byte order ends the walk.
    explicit TiffWalker(QByteArrayView tiff);

    // The first directory's offset (IFD0's).
    quint32 firstDirectory() const { return first_; }
    // The entries of the directory at offset, and its link to the next one
    // (0 for none); nothing when the walk has ended or ends here.
    std::optional<std::vector<Entry>> directory(quint32 offset, quint32* next = nullptr);
    bool ended() const { return ended_; }
    // The directories every walker has read on the calling thread so far
    // (a decode walks on the thread that runs it), for tests and benchmarks.
    static quint64 DirectoriesReadOnThisThread();

    // The first value of a SHORT or LONG entry.
    std::optional<quint32> integer(const Entry& entry) const;
    // The first value of a RATIONAL or SRATIONAL entry (nothing for a zero denominator).
    std::optional<double> rational(const Entry& entry) const;
    // An ASCII entry up to its first NUL, trimmed; nothing when empty.
    std::optional<QString> text(const Entry& entry) const;
    // length bytes at offset, or nothing when they are not all inside.
    std::optional<QByteArrayView> bytes(quint32 offset, quint32 length) const;

private:
    bool inside(quint64 offset, quint64 length) const;
    quint16 read16(quint32 at) const;
    quint32 read32(quint32 at) const;
    // Where an entry's data is: in the entry itself when it fits 4 bytes.
    std::optional<QByteArrayView> dataOf(const Entry& entry) const;

    QByteArrayView tiff_;
    bool bigEndian_ = false;
    bool ended_ = false;
    quint32 first_ = 0;
    std::set<quint32> visited_;
};

} // namespace Pictures
