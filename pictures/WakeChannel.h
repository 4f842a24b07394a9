#pragma once

#include <QObject>

class QSocketNotifier;

namespace Pictures {

// Wakes the thread that owns it from any other thread. post() adds one to an
// eventfd's counter; the owner's event loop watches the descriptor, reads the
// counter back to zero and emits woken(). Posts made before that read come
// out as one woken().
//
// A queued call would do the same, but Qt hands it over under a QMutex that
// waits on a futex ThreadSanitizer cannot see, and the event the posting
// thread allocates is freed on the owner's thread: every wake-up would look
// like a race, and hiding those would hide real races of whatever reacts to
// it. ThreadSanitizer models eventfd_write() as a release and eventfd_read()
// as an acquire, so here what a thread did before post() is ordered before
// woken() for the checker as it is for the machine, and post() allocates
// nothing.
//
// Create and destroy it on the owner's thread, which runs an event loop;
// post() may be called from any thread while it exists. Nothing is emitted
// once it is gone.
class WakeChannel : public QObject {
    Q_OBJECT
public:
    explicit WakeChannel(QObject* parent = nullptr);
    ~WakeChannel() override;

    // Any thread: woken() follows on the owner's thread.
    void post();

signals:
    void woken();

private:
    void drain();

    int fd_ = -1; // -1: no descriptor could be had, post() queues a call instead
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace Pictures
