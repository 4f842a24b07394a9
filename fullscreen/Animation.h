#pragma once

#include "GifAnimation.h"
#include "WakeChannel.h"

#include <QImage>
#include <QObject>
#include <QTimer>

#include <memory>
#include <string>

class QPainter;
class QRectF;

// Plays an animated GIF in the full screen in place of its still picture:
// its frames come from a GifAnimation, decoded on a thread of its own, and
// each stays for the delay the file gives it. A frame not yet decoded when
// its turn comes is waited for, the one before staying on screen; at the end
// the last frame stays. Anything else (a JPEG, a still GIF, a GIF too large
// to animate) gives no frame, and the still picture is drawn as it is.
class Animation : public QObject {
    Q_OBJECT
public:
    explicit Animation(QObject* parent = nullptr);

    // Starts playing path (a native name) at frames that fit box (device
    // pixels), in place of whatever played before.
    void start(std::string path, QSize box);
    // Stops at once and lets every frame go.
    void stop();

    // A frame to draw in place of the still picture.
    bool hasFrame() const { return !frame_.isNull(); }
    // Draws it into target (device pixels), turned clockwise by quarterTurns.
    void paint(QPainter& painter, const QRectF& target, int quarterTurns) const;
    // Frames are still to come.
    bool isRunning() const { return frames_ != nullptr; }
    // For tests: frames shown since start().
    int framesShown() const { return framesShown_; }

signals:
    // Another frame is to be drawn.
    void frameChanged();

private:
    void showNextFrame();

    std::unique_ptr<Pictures::GifAnimation> frames_;
    Pictures::WakeChannel wake_;
    QTimer delay_;
    QImage frame_;
    bool waitingForFrame_ = false;
    int framesShown_ = 0;
};
