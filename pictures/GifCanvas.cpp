#include "GifCanvas.h"

#include "GifBlocks.h"

#include <QIODevice>

namespace Pictures {
namespace {

std::optional<QSize> readCanvas(QIODevice& device)
{
    const QByteArray screen = device.read(13); // signature and logical screen descriptor
    if (screen.size() < 13)
        return std::nullopt;
    int screenWidth = GifBlocks::LittleEndian16(screen, 6);
    int screenHeight = GifBlocks::LittleEndian16(screen, 8);
    const uchar flags = uchar(screen[10]);
    if ((flags & 0x80) && device.skip(3 * (2 << (flags & 7))) != 3 * (2 << (flags & 7)))
        return std::nullopt;
    char introducer = 0;
    while (device.getChar(&introducer)) {
        if (introducer == '!') {
            if (!device.skip(1) || !GifBlocks::SkipSubBlocks(device)) // label, then its data
                return std::nullopt;
            continue;
        }
        if (introducer != ',')
            return std::nullopt;
        const QByteArray frame = device.read(9);
        if (frame.size() < 9)
            return std::nullopt;
        const int left = GifBlocks::LittleEndian16(frame, 0), top = GifBlocks::LittleEndian16(frame, 2);
        const int width = GifBlocks::LittleEndian16(frame, 4), height = GifBlocks::LittleEndian16(frame, 6);
        // Qt 6.4's reader allocates the screen, or the frame's extent for a
        // screen of no size. (Later readers take the frame's extent for a
        // screen far larger than the frame too: less, so the guard holds.)
        return QSize(screenWidth > 0 ? screenWidth : left + width, screenHeight > 0 ? screenHeight : top + height);
    }
    return std::nullopt;
}

} // namespace

std::optional<QSize> GifCanvas(QIODevice& device)
{
    const std::optional<QSize> canvas = readCanvas(device);
    if (!device.seek(0))
        return std::nullopt;
    return canvas;
}

} // namespace Pictures
