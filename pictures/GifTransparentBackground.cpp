#include "GifTransparentBackground.h"

#include "GifBlocks.h"

#include <optional>

namespace Pictures {
namespace {

int colourCount(uchar flags)
{
    return flags & 0x80 ? 2 << (flags & 7) : 0;
}

constexpr int DisposeToBackground = 2;

// Where the graphic control block before a frame holds its flags and its
// transparent colour's index.
struct GraphicControl {
    qint64 flagsAt = 0;
    uchar flags = 0;
};

} // namespace

GifTransparentBackground::GifTransparentBackground(QIODevice& inner) : inner_(inner)
{
    changes_ = findChanges(inner_);
    inner_.seek(0);
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

std::map<qint64, char> GifTransparentBackground::findChanges(QIODevice& device)
{
    std::map<qint64, char> changes;
    const QByteArray screen = device.read(13); // signature and logical screen descriptor
    if (screen.size() < 13)
        return changes;
    const int globalColours = colourCount(uchar(screen[10]));
    if (device.skip(3 * globalColours) != 3 * globalColours)
        return changes;
    const int screenWidth = GifBlocks::LittleEndian16(screen, 6), screenHeight = GifBlocks::LittleEndian16(screen, 8);
    std::optional<GraphicControl> control;
    char introducer = 0;
    for (int index = 0; device.getChar(&introducer);) {
        if (introducer == '!') {
            char label = 0;
            if (!device.getChar(&label))
                break;
            if (uchar(label) == 0xF9) {
                const qint64 at = device.pos();
                const QByteArray block = device.peek(5); // size, flags, delay, transparent index
                if (block.size() == 5 && uchar(block[0]) >= 4)
                    control = GraphicControl{at + 1, uchar(block[1])};
            }
            if (!GifBlocks::SkipSubBlocks(device))
                break;
            continue;
        }
        if (introducer != ',')
            break;
        const QByteArray frame = device.read(9);
        if (frame.size() < 9)
            break;
        const int localColours = colourCount(uchar(frame[8]));
        const int colours = localColours ? localColours : globalColours;
        // A first frame smaller than the screen stays as the still picture
        // shows it: the reader fills the rest with the background colour
        // unless the frame has a transparent one.
        const bool coversScreen =
            GifBlocks::LittleEndian16(frame, 0) == 0 && GifBlocks::LittleEndian16(frame, 2) == 0 &&
            GifBlocks::LittleEndian16(frame, 4) >= screenWidth && GifBlocks::LittleEndian16(frame, 6) >= screenHeight;
        if (control && (control->flags >> 2 & 7) == DisposeToBackground && !(control->flags & 1) && colours > 0 &&
            colours < 256 && (index > 0 || coversScreen)) {
            changes[control->flagsAt] = char(control->flags | 1);
            changes[control->flagsAt + 3] = char(colours);
        }
        ++index;
        control.reset();
        // The colour table, the LZW code size, the image data.
        if (device.skip(3 * localColours + 1) != 3 * localColours + 1 || !GifBlocks::SkipSubBlocks(device))
            break;
    }
    return changes;
}

bool GifTransparentBackground::seek(qint64 position)
{
    return QIODevice::seek(position) && inner_.seek(position);
}

qint64 GifTransparentBackground::readData(char* data, qint64 maxSize)
{
    const qint64 at = inner_.pos();
    const qint64 read = inner_.read(data, maxSize);
    for (auto change = changes_.lower_bound(at); change != changes_.end() && change->first < at + read; ++change)
        data[change->first - at] = change->second;
    return read;
}

} // namespace Pictures
