#include "WakeChannel.h"

#include <QElapsedTimer>
#include <QtTest>

#include <future>
#include <thread>

using namespace Pictures;

class WakeChannelTest : public QObject {
    Q_OBJECT
private slots:
    void postsBeforeTheOwnerRunsComeOutAsOneWakeUp();
    void whatThePosterDidBeforeIsSeenByTheOwner();
};

namespace {

// Runs events until woken counts more than before, or five seconds pass,
// then a little longer for any wake-up that should not come.
void runEventsUntilWoken(const int& woken, int before)
{
    QElapsedTimer clock;
    clock.start();
    while (woken == before && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

// Three posts, from another thread and from this one, before events run give
// one woken(); once it is read, the next post gives the next.
void WakeChannelTest::postsBeforeTheOwnerRunsComeOutAsOneWakeUp()
{
    WakeChannel channel;
    int woken = 0;
    connect(&channel, &WakeChannel::woken, &channel, [&woken] { ++woken; });
    std::thread([&channel] {
        channel.post();
        channel.post();
    }).join();
    channel.post();
    runEventsUntilWoken(woken, 0);
    QCOMPARE(woken, 1);
    channel.post();
    runEventsUntilWoken(woken, 1);
    QCOMPARE(woken, 2);
}

// The poster keeps running until the owner has read, so only the channel
// orders the poster's write before the owner's read: under ThreadSanitizer
// (scripts/build.sh tsan) a hand-over it cannot see, such as a raw write
// system call, is reported here as a race.
void WakeChannelTest::whatThePosterDidBeforeIsSeenByTheOwner()
{
    WakeChannel channel;
    int written = 0;
    int seen = 0;
    connect(&channel, &WakeChannel::woken, &channel, [&written, &seen] { seen = written; });
    std::promise<void> ownerRead;
    std::thread poster([&channel, &written, done = ownerRead.get_future()]() mutable {
        written = 42;
        channel.post();
        done.wait();
    });
    runEventsUntilWoken(seen, 0);
    ownerRead.set_value();
    poster.join();
    QCOMPARE(seen, 42);
}

QTEST_GUILESS_MAIN(WakeChannelTest)
#include "tst_wakechannel.moc"
