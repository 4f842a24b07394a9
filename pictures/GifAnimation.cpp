#include "GifAnimation.h"

#include "Decode.h"
#include "DecodeBudget.h"
#include "DecodeGuard.h"
#include "DecodeLimits.h"
#include "DecodeTicket.h"
#include "FreedMemory.h"
#include "GifCanvas.h"
#include "GifTransparentBackground.h"
#include "GuardedDevice.h"
#include "MemoryReservation.h"
#include "PictureFormat.h"
#include "RegularFile.h"

#include <QFile>
#include <QImageReader>

#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace Pictures {
namespace {

// What a held frame costs beside its pixels (the image's header, its place
// in the queue), so that thousands of tiny frames are bounded as well.
constexpr qint64 FrameOverheadBytes = 1024;

qint64 bytesOf(QSize size)
{
    return qint64(size.width()) * size.height() * 4;
}

// The reader's screen laid on black: its transparent pixels (those no frame
// has drawn yet, those a frame left transparent or disposed of to its
// transparent background) are black, as the full screen shows the still
// picture. Qt's reader draws on a screen without alpha when the first frame
// has no transparency, and marks transparent pixels by a zero alpha byte all
// the same, so that byte is read whatever the format.
QImage laidOnBlack(const QImage& screen, QSize size)
{
    if (screen.format() != QImage::Format_RGB32 && screen.format() != QImage::Format_ARGB32)
        return {};
    QImage opaque(screen.size(), QImage::Format_RGB32);
    if (opaque.isNull())
        return {};
    for (int y = 0; y < screen.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(screen.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(opaque.scanLine(y));
        for (int x = 0; x < screen.width(); ++x)
            to[x] = qAlpha(from[x]) == 0 ? 0xFF000000u : from[x] | 0xFF000000u;
    }
    return size == opaque.size() ? opaque : opaque.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

// Everything the decoding thread and the owner share, under one mutex: the
// thread may outlive the owner's GifAnimation.
struct GifAnimation::Shared {
    explicit Shared(qint64 frameBudget) : budget(frameBudget) {}

    // The decoding thread.
    void run(const std::string& path, QSize box);
    bool decodePass(const std::string& path, QSize box, int pass);
    bool waitForSpace(qint64 bytes, int pass);
    bool add(Frame frame, int index, int pass);

    // Frames held now. While the first pass is kept whole the queued and
    // shown frames are among its frames.
    qint64 held() const { return cycleKept ? cycleBytes : queueBytes + shownBytes; }
    bool replayLeft() const { return cycleComplete && (loops < 0 || replays < loops); }

    mutable std::mutex mutex;
    std::condition_variable space; // the owner took a frame, or stopped
    std::function<void()> wake;    // emptied when stopped
    bool stopped = false;
    // Last in the decoding budget's line: after every picture the pipeline
    // decodes, ahead ones included.
    DecodeTicket ticket{DecodeTicket::Ahead, std::numeric_limits<quint64>::max()};

    const qint64 budget;
    qint64 frameBytes = 0; // each frame, all of one size
    QSize frameSize;
    std::deque<Frame> queue; // decoded, not yet shown
    qint64 queueBytes = 0;
    qint64 shownBytes = 0;    // the frame the owner took last
    std::vector<Frame> cycle; // the first pass, while it fits the budget
    qint64 cycleBytes = 0;
    bool cycleKept = true;
    bool cycleComplete = false; // decoding ended with the whole animation in cycle
    bool animated = false;      // a second frame was decoded
    bool ended = false;         // the decoding thread is done
    int loops = 0;              // plays after the first: -1 for ever
    // The owner's replaying of cycle.
    std::size_t cycleAt = 0;
    int replays = 0;
    qint64 peak = 0;
};

void GifAnimation::Shared::run(const std::string& path, QSize box)
{
    {
        const DecodeTicket::Scope scope(ticket);
        for (int pass = 0;; ++pass) {
            if (!decodePass(path, box, pass))
                break;
            const std::lock_guard lock(mutex);
            // Played from memory from now on, or not an animation at all.
            if (pass == 0 && (!animated || cycleKept)) {
                cycleComplete = animated;
                break;
            }
            if (loops >= 0 && pass >= loops)
                break;
        }
    }
    GiveBackFreedMemory(ticket.mostReserved());
    const std::lock_guard lock(mutex);
    ended = true;
    if (wake)
        wake();
}

// Decodes the file once through; false when it stopped before the end (no
// GIF, too large, too slow, damaged before its first frame, or stopped).
bool GifAnimation::Shared::decodePass(const std::string& path, QSize box, int pass)
{
    if (const std::lock_guard lock(mutex); stopped)
        return false;
    const RegularFile file(path);
    if (!file.isOpen() || DetectFormat(file.prefix(FormatSignatureBytes)) != PictureFormat::Gif)
        return false;
    QFile raw;
    if (!raw.open(file.descriptor(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return false;
    GuardedDevice device(raw);
    std::optional<QSize> screen;
    std::optional<GifTransparentBackground> gif;
    {
        const DecodeGuard guard(Limits::CpuTime);
        screen = GifCanvas(device);
        if (screen)
            gif.emplace(device);
    }
    if (!screen || screen->isEmpty() || device.stopped() != Failure::None)
        return false;
    const QSize size = DecodeSize(*screen, box);
    // Qt's reader holds its screen and, for frames restored afterwards, a
    // copy of what they cover; the frame laid on black and its scaled copy
    // come beside them.
    const qint64 readerBytes = 3 * bytesOf(*screen) + bytesOf(size);
    const qint64 bytes = bytesOf(size) + FrameOverheadBytes;
    {
        const std::lock_guard lock(mutex);
        if (pass == 0) {
            frameSize = size;
            frameBytes = bytes;
        }
        // One frame shown and the next on its way, at least; the file is
        // not changed under the animation.
        if (readerBytes > MaxReaderBytes || 2 * bytes > budget || size != frameSize)
            return false;
    }
    MemoryReservation memory;
    if (memory.take(readerBytes) != Failure::None)
        return false;

    QImageReader reader(&*gif, "gif");
    reader.setAutoDetectImageFormat(false);
    int index = 0;
    for (;; ++index) {
        if (!waitForSpace(bytes, pass))
            return false;
        const DecodeGuard guard(Limits::CpuTime);
        QImage drawn = reader.read();
        if (device.stopped() != Failure::None)
            return false;
        if (drawn.isNull())
            break; // the end, or damage after it: what came before plays
        const std::chrono::milliseconds delay(std::max(0, reader.nextImageDelay()));
        Frame frame{laidOnBlack(drawn, size), delay};
        // Let go before the next read, which would otherwise copy the
        // reader's screen to draw on it.
        drawn = QImage();
        if (frame.image.isNull() || DecodeGuard::Check() != Failure::None)
            return false;
        if (!add(std::move(frame), index, pass))
            return false;
    }
    if (pass == 0) {
        const DecodeGuard guard(Limits::CpuTime);
        const int fileLoops = reader.loopCount(); // reads the file through once more
        const std::lock_guard lock(mutex);
        loops = fileLoops;
    }
    return index > 0;
}

// Waits until a frame of bytes fits beside those held; false once stopped.
bool GifAnimation::Shared::waitForSpace(qint64 bytes, int pass)
{
    std::unique_lock lock(mutex);
    if (pass == 0 && cycleKept && cycleBytes + bytes > budget) {
        // The animation is too long to keep whole: from now on only the
        // frames not yet shown are held, and it is decoded again to play again.
        cycleKept = false;
        cycle = {};
        cycleBytes = 0;
    }
    space.wait(lock, [&] { return stopped || held() + bytes <= budget; });
    return !stopped;
}

bool GifAnimation::Shared::add(Frame frame, int index, int pass)
{
    const std::lock_guard lock(mutex);
    if (stopped)
        return false;
    if (pass == 0 && cycleKept) {
        cycle.push_back(frame);
        cycleBytes += frameBytes;
    }
    queue.push_back(std::move(frame));
    queueBytes += frameBytes;
    peak = std::max(peak, held());
    animated = animated || index > 0;
    if (wake)
        wake();
    return true;
}

GifAnimation::GifAnimation(std::string path, QSize box, std::function<void()> wake, qint64 frameBytes)
    : shared_(std::make_shared<Shared>(frameBytes))
{
    shared_->wake = std::move(wake);
    try {
        std::thread([shared = shared_, path = std::move(path), box] { shared->run(path, box); }).detach();
    } catch (const std::system_error&) {
        shared_->ended = true; // no thread to be had: the still picture stays
    }
}

GifAnimation::~GifAnimation()
{
    stop();
}

std::optional<GifAnimation::Frame> GifAnimation::next()
{
    Shared& s = *shared_;
    const std::lock_guard lock(s.mutex);
    if (s.stopped || !s.animated)
        return std::nullopt;
    if (!s.queue.empty()) {
        Frame frame = std::move(s.queue.front());
        s.queue.pop_front();
        s.queueBytes -= s.frameBytes;
        s.shownBytes = s.frameBytes;
        s.space.notify_all();
        return frame;
    }
    if (!s.replayLeft())
        return std::nullopt;
    Frame frame = s.cycle[s.cycleAt];
    if (++s.cycleAt == s.cycle.size()) {
        s.cycleAt = 0;
        ++s.replays;
    }
    return frame;
}

bool GifAnimation::finished() const
{
    const Shared& s = *shared_;
    const std::lock_guard lock(s.mutex);
    if (s.stopped || (s.ended && !s.animated))
        return true;
    return s.ended && s.queue.empty() && !s.replayLeft();
}

void GifAnimation::stop()
{
    Shared& s = *shared_;
    {
        const std::lock_guard lock(s.mutex);
        if (s.stopped)
            return;
        s.stopped = true;
        s.wake = nullptr;
        s.queue = {};
        s.cycle = {};
        s.queueBytes = s.cycleBytes = s.shownBytes = 0;
    }
    s.space.notify_all();
    s.ticket.setCancelled(true);
    DecodeBudget::Shared().recheck();
}

qint64 GifAnimation::peakFrameBytes() const
{
    const std::lock_guard lock(shared_->mutex);
    return shared_->peak;
}

} // namespace Pictures
