#pragma once

#include "Decode.h"

#include <QIODevice>

namespace Pictures {

// Reads another device for Qt's image readers, asking the decode's guard
// before every read: a decode past its time or no longer wanted reads
// nothing more, so the reader gives up at once.
class GuardedDevice : public QIODevice {
public:
    // inner stays the caller's and must be open for reading.
    explicit GuardedDevice(QIODevice& inner);

    bool isSequential() const override { return inner_.isSequential(); }
    bool seek(qint64 position) override;
    qint64 size() const override { return inner_.size(); }
    // Why reading stopped, or Failure::None.
    Failure stopped() const { return stopped_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& inner_;
    Failure stopped_ = Failure::None;
};

} // namespace Pictures
