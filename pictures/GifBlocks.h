#pragma once

#include <QByteArray>
#include <QIODevice>

// Reading a GIF's blocks by hand, for what Qt's reader does not tell.
namespace Pictures::GifBlocks {

inline int LittleEndian16(const QByteArray& bytes, int at)
{
    return uchar(bytes[at]) | (uchar(bytes[at + 1]) << 8);
}

// Skips a chain of data sub-blocks, up to and including the empty one.
inline bool SkipSubBlocks(QIODevice& device)
{
    char length = 0;
    while (device.getChar(&length) && length != 0) {
        if (device.skip(uchar(length)) != uchar(length))
            return false;
    }
    return length == 0;
}

} // namespace Pictures::GifBlocks
