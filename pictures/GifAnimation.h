#pragma once

#include <QImage>
#include <QSize>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace Pictures {

// The frames of an animated GIF, decoded on a thread of its own for the full
// screen, in playing order: each the logical screen after the frame was
// drawn onto it (Qt's reader composes them: disposal, transparency, frames
// smaller than the screen; a frame disposed of to the background leaves
// transparency, see GifTransparentBackground), laid on black and scaled to
// fit a box, with the time it stays on screen (Qt's reader makes delays
// under 20 ms 100 ms).
//
// The decoded frames held at once stay within a byte budget, each counted
// before it is made. While the whole animation fits, it is decoded once and
// its frames are played again from memory as often as the file says;
// otherwise it is decoded afresh for every time it plays, a few frames
// ahead of the one shown. The reader's own memory is reserved in the
// process's decoding budget for as long as it reads, each frame is bounded
// in processor time like a decode, and stopping cancels all of it at the
// next read or wait: an animation too large to decode within those bounds,
// or a file that is not an animated GIF, gives no frame at all, and one that
// goes wrong half way ends on the last frame it gave.
//
// Create, call and destroy it on one thread; the file is read only by its
// own thread, which is left to finish on its own once stopped, so neither
// stopping nor destruction ever waits for it.
class GifAnimation {
public:
    struct Frame {
        QImage image; // opaque, at DecodeSize(screen size, box)
        std::chrono::milliseconds delay{0};
    };

    // Bytes of frames held at once: two dozen frames of a 640 x 480 GIF,
    // three fitted to a 1920 x 1080 screen.
    static constexpr qint64 DefaultFrameBytes = 32LL * 1024 * 1024;
    // What the reader may hold while it reads (its screen, the copy it
    // restores frames from, the frame laid on black and scaled), out of the
    // decoding budget all decodes share: half of it, so that the pictures
    // decoded ahead meanwhile still get the rest.
    static constexpr qint64 MaxReaderBytes = 64LL * 1024 * 1024;

    // Starts decoding path (a native name) for frames that fit box (device
    // pixels). wake is called on the decoding thread, never after stop(),
    // whenever a frame has been added or the decoding has ended.
    GifAnimation(std::string path, QSize box, std::function<void()> wake, qint64 frameBytes = DefaultFrameBytes);
    ~GifAnimation();
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;

    // The next frame to show, if it is decoded; nothing until the file has
    // been seen to hold a second frame.
    std::optional<Frame> next();
    // No frame will come any more: the animation has played as often as the
    // file says, or it is none, or its decoding stopped.
    bool finished() const;
    // Cancels the decoding and frees every frame held, at once.
    void stop();

    // For tests: the most bytes of frames held at once.
    qint64 peakFrameBytes() const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

} // namespace Pictures
