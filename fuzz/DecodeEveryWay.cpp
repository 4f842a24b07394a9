#include "DecodeEveryWay.h"

#include "Decode.h"
#include "GifAnimation.h"
#include "PictureInfo.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The bytes as a regular file of their own, named by a path as a file on disk.
class MemoryFile {
public:
    explicit MemoryFile(QByteArrayView bytes) : fd_(::memfd_create("picture", MFD_CLOEXEC))
    {
        for (qsizetype at = 0; fd_ >= 0 && at < bytes.size();) {
            const ssize_t written = ::write(fd_, bytes.data() + at, size_t(bytes.size() - at));
            if (written <= 0)
                break;
            at += written;
        }
    }
    ~MemoryFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    int fd_;
};

// Reads the end of every row, so that a wrong size or stride shows up.
void readRows(const QImage& image)
{
    volatile uint sum = 0;
    for (int y = 0; y < image.height(); ++y)
        sum = sum + image.constScanLine(y)[image.bytesPerLine() - 1];
}

// The full screen's animation of a GIF: its first frames, taken as they are
// decoded (it may play for ever), then stopped. How many came.
int playAnimation(const std::string& path, QSize box)
{
    constexpr int MostFrames = 16;
    std::mutex mutex;
    std::condition_variable woken;
    quint64 wakes = 0;
    Pictures::GifAnimation animation(path, box, [&] {
        const std::lock_guard lock(mutex);
        ++wakes;
        woken.notify_all();
    });
    int taken = 0;
    while (taken < MostFrames) {
        std::unique_lock lock(mutex);
        const quint64 seen = wakes;
        lock.unlock();
        if (const std::optional<Pictures::GifAnimation::Frame> frame = animation.next()) {
            readRows(frame->image);
            ++taken;
            continue;
        }
        if (animation.finished())
            break;
        lock.lock();
        woken.wait(lock, [&] { return wakes != seen; });
    }
    return taken;
}

} // namespace

int DecodeEveryWay(QByteArrayView bytes)
{
    const MemoryFile file(bytes);
    // A cell's size, and one from the last byte: 1 to 700 pixels, or the file's own size.
    const int last = bytes.isEmpty() ? 0 : static_cast<unsigned char>(bytes.back());
    const int sizes[] = {120, last < 16 ? 0 : 1 + (last * 11) % 700};
    int shown = 0;
    for (const int longSide : sizes) {
        for (const auto purpose : {Pictures::Purpose::Thumbnail, Pictures::Purpose::View}) {
            const Pictures::Decoded decoded = Pictures::Decode(file.path(), longSide, purpose);
            if (decoded) {
                readRows(decoded.picture->image);
                ++shown;
            }
        }
    }
    // The full screen, a wide box of the second size or 1:1, which may shrink
    // what passes the limits, and the EXIF fields it reads along.
    const QSize screen = sizes[1] > 0 ? QSize(sizes[1], std::max(1, sizes[1] * 9 / 16)) : QSize();
    const Pictures::Decoded full = Pictures::Decode(file.path(), screen, Pictures::Purpose::Screen);
    // A zoomed part of it, off whole blocks, from the middle byte: at full
    // size and reduced.
    const int middle = bytes.isEmpty() ? 0 : static_cast<unsigned char>(bytes[bytes.size() / 2]);
    const QRect area(middle % 37, middle % 23, 1 + middle * 3, 1 + middle * 2);
    int parts = 0;
    for (const QSize box : {area.size(), area.size() / 3}) {
        const Pictures::Decoded part = Pictures::DecodeArea(file.path(), area, box);
        if (part) {
            const QImage& image = part.picture->image;
            volatile uint sum = 0;
            for (int y = 0; y < image.height(); ++y)
                sum = sum + image.constScanLine(y)[image.bytesPerLine() - 1];
            ++parts;
        }
    }
    const int frames = playAnimation(file.path(), screen);
    return shown + parts + (full ? 1 : 0) + (full && full.picture->info.make ? 1 : 0) + frames;
}
