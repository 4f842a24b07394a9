#pragma once

#include <QIODevice>

#include <map>

namespace Pictures {

// A GIF read from another device with one change, for Qt's reader: a frame
// to be disposed of to the background leaves its part of the screen
// transparent, as web browsers and other decoders clear it, rather than
// filled with the background colour. Qt's reader clears to transparent only
// when that frame had a transparent colour, so the frame is given one: the
// index just past its colour table, which no pixel uses (a pixel past the
// table is transparent to the reader anyway). A frame with a full table of
// 256 colours has no index to spare and keeps the reader's filling, and so
// does a first frame smaller than the screen, whose transparent colour would
// also clear the rest of the screen that the still picture shows filled.
//
// The frames' headers are found when it is made, reading the device through
// (the image data is skipped); the device is then read from its start again.
class GifTransparentBackground : public QIODevice {
public:
    // inner stays the caller's, open for reading and not sequential.
    explicit GifTransparentBackground(QIODevice& inner);

    bool isSequential() const override { return false; }
    bool seek(qint64 position) override;
    qint64 size() const override { return inner_.size(); }
    // Bytes changed (frames given a transparent colour), for tests.
    int changedBytes() const { return int(changes_.size()); }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    static std::map<qint64, char> findChanges(QIODevice& device);

    QIODevice& inner_;
    std::map<qint64, char> changes_; // the new byte at each offset changed
};

} // namespace Pictures
