#include "Animation.h"

#include <QPainter>

#include <cmath>

Animation::Animation(QObject* parent) : QObject(parent)
{
    delay_.setSingleShot(true);
    delay_.setTimerType(Qt::PreciseTimer);
    connect(&delay_, &QTimer::timeout, this, &Animation::showNextFrame);
    connect(&wake_, &Pictures::WakeChannel::woken, this, [this] {
        if (waitingForFrame_)
            showNextFrame();
    });
}

void Animation::start(std::string path, QSize box)
{
    stop();
    // The first frame is the still picture already on screen: it is taken
    // once the file is known to hold a second one.
    Pictures::WakeChannel* wake = &wake_;
    frames_ = std::make_unique<Pictures::GifAnimation>(std::move(path), box, [wake] { wake->post(); });
    waitingForFrame_ = true;
}

void Animation::stop()
{
    // The decoding thread is told to stop and left to end on its own: a
    // frame half decoded never holds up the window.
    frames_.reset();
    delay_.stop();
    waitingForFrame_ = false;
    frame_ = QImage();
    framesShown_ = 0;
}

// The frame whose turn has come, or a wait for it; at the end the last frame
// stays, and the decoder goes.
void Animation::showNextFrame()
{
    if (!frames_)
        return;
    if (std::optional<Pictures::GifAnimation::Frame> next = frames_->next()) {
        waitingForFrame_ = false;
        frame_ = std::move(next->image);
        ++framesShown_;
        delay_.start(next->delay);
        emit frameChanged();
        return;
    }
    waitingForFrame_ = !frames_->finished();
    if (!waitingForFrame_)
        frames_.reset();
}

void Animation::paint(QPainter& painter, const QRectF& target, int quarterTurns) const
{
    painter.save();
    painter.translate(target.center());
    painter.rotate(90.0 * quarterTurns);
    const QSizeF size = quarterTurns % 2 ? target.size().transposed() : target.size();
    const QRectF at(-size.width() / 2, -size.height() / 2, size.width(), size.height());
    // Scaled only when turned to another shape or the screen changed size.
    const QSizeF off = size - QSizeF(frame_.size());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, std::abs(off.width()) > 1 || std::abs(off.height()) > 1);
    painter.drawImage(at, frame_);
    painter.restore();
}
