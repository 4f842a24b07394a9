#include "WakeChannel.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

namespace Pictures {

WakeChannel::WakeChannel(QObject* parent) : QObject(parent), fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (fd_ < 0)
        return;
    notifier_ = new QSocketNotifier(qintptr(fd_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &WakeChannel::drain);
}

// The notifier stops watching before the descriptor goes; it is deleted
// with the other children.
WakeChannel::~WakeChannel()
{
    if (fd_ < 0)
        return;
    notifier_->setEnabled(false);
    ::close(fd_);
}

// Without a descriptor every post is a queued call of its own; the pipeline
// posts one at a time anyway.
void WakeChannel::post()
{
    if (fd_ < 0) {
        QMetaObject::invokeMethod(this, &WakeChannel::woken, Qt::QueuedConnection);
        return;
    }
    // Fails only with the counter at its maximum, when it is readable anyway.
    eventfd_write(fd_, 1);
}

// A read that finds the counter at zero (another thread's read took it)
// wakes nobody.
void WakeChannel::drain()
{
    eventfd_t count = 0;
    if (eventfd_read(fd_, &count) == 0)
        emit woken();
}

} // namespace Pictures
