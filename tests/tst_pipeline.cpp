// The picture pipeline: workers, priorities, supersession, the cache, waiting, shutdown.

#include "DecodeBudget.h"
#include "DecodeGuard.h"
#include "MemoryReservation.h"
#include "Pipeline.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <set>

using namespace Pictures;
using namespace std::chrono_literals;

namespace {

// A decode function the test steers. Calls are logged as they start; while
// holding, a call waits until its path is released. A file that is gone gives
// Unreadable, one named "broken…" Damaged, others a picture whose pixels carry
// the call's number, so that a result tells which call made it.
class FakeDecoder {
public:
    struct Call {
        std::string path;
        std::thread::id thread;
    };

    Pipeline::DecodeFunction function()
    {
        return [this](const std::string& path, QSize box, Purpose) { return decode(path, box.width()); };
    }
    void hold(bool holding)
    {
        change([&] { holding_ = holding; });
    }
    void release(const std::string& path)
    {
        change([&] { released_.insert(path); });
    }
    std::vector<std::string> paths() const
    {
        const std::lock_guard lock(mutex_);
        std::vector<std::string> paths;
        std::ranges::transform(log_, std::back_inserter(paths), &Call::path);
        return paths;
    }
    int calls(const std::string& path) const { return int(std::ranges::count(paths(), path)); }
    Call callOf(const Result& result) const
    {
        const std::lock_guard lock(mutex_);
        return log_.at(result.decoded.picture->image.pixel(0, 0) & 0xffffff);
    }
    bool waitForCalls(std::size_t count)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return log_.size() >= count; });
    }

private:
    template <typename Change>
    void change(Change apply)
    {
        const std::lock_guard lock(mutex_);
        apply();
        changed_.notify_all();
    }

    Decoded decode(const std::string& path, int side)
    {
        std::unique_lock lock(mutex_);
        const uint serial = uint(log_.size());
        log_.push_back({path, std::this_thread::get_id()});
        changed_.notify_all();
        changed_.wait(lock, [&] { return !holding_ || released_.contains(path); });
        const QFileInfo file(QFile::decodeName(path.c_str()));
        if (!file.exists() || file.fileName().startsWith(u"broken"))
            return {std::nullopt, file.exists() ? Failure::Damaged : Failure::Unreadable};
        QImage image(side, side, QImage::Format_RGB32);
        image.fill(0xff000000 | serial);
        return {Picture{image, image.size()}, Failure::None};
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Call> log_;
    bool holding_ = false;
    std::set<std::string> released_;
};

// A pipeline on a fake decoder, over a folder of files, counting its wake-ups.
struct Fixture {
    explicit Fixture(int workers)
        : pipeline(std::make_unique<Pipeline>(Pipeline::Options{.workers = workers, .decode = decoder.function()}))
    {
        QObject::connect(pipeline.get(), &Pipeline::resultReady, &window, [this] { ++wakes; });
    }
    // A failed check must not leave a worker held while the pipeline joins it.
    ~Fixture() { decoder.hold(false); }

    // The native path of name in the folder; the file is made if missing.
    std::string file(const QString& name) const
    {
        QFile out(dir.filePath(name));
        if (!out.exists() &&
            !(QDir().mkpath(QFileInfo(out).path()) && out.open(QIODevice::WriteOnly) && out.write("picture") == 7))
            qFatal("cannot write %s", qPrintable(out.fileName()));
        return QFile::encodeName(out.fileName()).toStdString();
    }
    Request request(std::initializer_list<QString> names, Purpose purpose = Purpose::Thumbnail) const
    {
        Request request{{}, SquareBox(40), purpose};
        for (const QString& name : names)
            request.candidates.push_back(file(name));
        return request;
    }
    // Runs events, as the window does, until request's result is there;
    // nothing if that takes ten seconds (the pipeline did not wake us).
    std::optional<Result> waitFor(const Request& request) const
    {
        bool late = false;
        QTimer watchdog;
        QObject::connect(&watchdog, &QTimer::timeout, [&late] { late = true; });
        watchdog.start(10s);
        std::optional<Result> result;
        while (!(result = pipeline->tryGet(request)) && !late)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return result;
    }

    QTemporaryDir dir;
    FakeDecoder decoder;
    QObject window; // stands for the window, and outlives the pipeline
    std::unique_ptr<Pipeline> pipeline;
    int wakes = 0;
};

std::optional<Result> waitFor(Pipeline& pipeline, const Request& request)
{
    QElapsedTimer clock;
    clock.start();
    std::optional<Result> result;
    while (!(result = pipeline.tryGet(request)) && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return result;
}

RequestKey keyOf(int k)
{
    return RequestKey::Of(Request{{"/nonexistent/" + std::to_string(k)}, SquareBox(64), Purpose::Thumbnail});
}

Result resultOf(int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    return Result{Decoded{Picture{image, image.size()}, Failure::None}, 0};
}

} // namespace

class PipelineTest : public QObject {
    Q_OBJECT
private slots:
    void pageComesBackInOrderAndWakesTheOwner();
    void newBatchDropsQueuedWorkButKeepsRunningWork();
    void workAheadWaitsForSubmittedWork();
    void decodingWorkersCanBeHeldBack();
    void changedFilesAreDecodedAgain_data();
    void changedFilesAreDecodedAgain();
    void cacheKeepsToBudgetLeastRecentlyUsedOutFirst();
    void blockingGetDecodesOnceWithoutRunningEvents();
    void deletedFolderGivesFailures();
    void destructionWithWorkInFlight();
    void sharedBudgetServesInPipelineOrder();
    void supersededDecodeIsCancelledAndNotKept();
    void stuckDecodeDoesNotHoldUpDestruction();
};

// Held back to one decoding worker (of three), a page is decoded one picture
// at a time while what get() waits for still goes by on its own worker; let
// go, the other workers take the rest at once.
void PipelineTest::decodingWorkersCanBeHeldBack()
{
    Fixture f(3);
    f.decoder.hold(true);
    f.pipeline->setDecodingWorkers(1);
    const std::vector<Request> page{f.request({"a"}), f.request({"b"}), f.request({"c"})};
    f.pipeline->submit(page);
    QVERIFY(f.decoder.waitForCalls(1));
    const Request awaited = f.request({"d"});
    f.decoder.release(awaited.candidates[0]);
    QVERIFY(f.pipeline->get(awaited).decoded);
    QTest::qWait(100);
    QCOMPARE(f.decoder.paths(), (std::vector<std::string>{page[0].candidates[0], awaited.candidates[0]}));
    f.pipeline->setDecodingWorkers(0);
    QVERIFY(f.decoder.waitForCalls(4));
    f.decoder.hold(false);
    for (const Request& request : page)
        QVERIFY(f.waitFor(request));
}

// A page of cells, each "its THM copy, else the picture": every result is the
// right file's; no-pictures and names that are no regular file are never opened.
void PipelineTest::pageComesBackInOrderAndWakesTheOwner()
{
    Fixture f(2);
    const std::string fifo = QFile::encodeName(f.dir.filePath("fifo")).toStdString();
    QVERIFY(::mkfifo(fifo.c_str(), 0600) == 0);
    std::vector<Request> page;
    for (int i = 0; i < 24; ++i) {
        const QString name = QStringLiteral("R%1.JPG").arg(i);
        page.push_back(f.request({QStringLiteral("THM/T") + name, name}));
        if (i % 3 == 0)
            QVERIFY(QFile::remove(QFile::decodeName(page.back().candidates[0].c_str())));
    }
    page[5].candidates[0] = fifo;
    page[6].candidates = {f.file("broken1"), f.file("broken2")};
    f.decoder.hold(true);
    f.pipeline->submit(page);
    QVERIFY(!f.pipeline->tryGet(page[0]));
    f.decoder.hold(false);
    for (int i = 0; i < 24; ++i) {
        const std::optional<Result> result = f.waitFor(page[i]);
        QVERIFY2(result, "no wake-up");
        const int expected = i % 3 == 0 || i == 5 || i == 6 ? 1 : 0;
        QCOMPARE(result->candidate, expected);
        QCOMPARE(bool(result->decoded), i != 6);
        QVERIFY(i == 6 || f.decoder.callOf(*result).path == page[i].candidates[expected]);
        QCOMPARE(f.decoder.calls(page[i].candidates[1]), expected);
    }
    QCOMPARE(f.decoder.calls(fifo), 0);
}

// One worker: A runs, B and C wait when the next batch comes. E, waited for
// by the owner, goes first; Z, done ahead, only once nothing submitted waits.
void PipelineTest::newBatchDropsQueuedWorkButKeepsRunningWork()
{
    Fixture f(1);
    f.decoder.hold(true);
    const Request a = f.request({"A"}), b = f.request({"B"}), c = f.request({"C"}), d = f.request({"D"});
    const Request e = f.request({"E"});
    f.pipeline->submit({a, b, c});
    QVERIFY(f.decoder.waitForCalls(1));
    f.pipeline->submit({d, a});
    f.pipeline->prefetch({f.request({"Z"})});
    QVERIFY(!f.pipeline->tryGet(e));
    f.decoder.hold(false);
    QVERIFY(f.decoder.waitForCalls(4));
    const std::vector<std::string> expected{a.candidates[0], e.candidates[0], d.candidates[0], f.file("Z")};
    QCOMPARE(f.decoder.paths(), expected);
    const std::optional<Result> result = f.pipeline->tryGet(a);
    QVERIFY(result && f.decoder.callOf(*result).path == a.candidates[0]);
    QCOMPARE(f.decoder.paths().size(), 4u);
}

// Two workers, held on L1 and L2 done ahead. Each worker that comes free takes
// submitted work while any waits; L4, submitted after being queued ahead, goes
// with the submitted work; nothing cached, queued or running is queued again.
void PipelineTest::workAheadWaitsForSubmittedWork()
{
    Fixture f(2);
    f.decoder.hold(true);
    const Request l1 = f.request({"L1"}), l2 = f.request({"L2"}), l3 = f.request({"L3"}), l4 = f.request({"L4"});
    const Request h1 = f.request({"H1"});
    f.pipeline->prefetch({l1, l2, l3, l4});
    QVERIFY(f.decoder.waitForCalls(2));
    f.pipeline->submit({h1, l4, l1});
    f.pipeline->prefetch({l1, h1, l2, l3, l4});
    const Request* const released[] = {&l1, &h1, &l2};
    const Request* const next[] = {&h1, &l4, &l3};
    for (int step = 0; step < 3; ++step) {
        f.decoder.release(released[step]->candidates[0]);
        QVERIFY(f.decoder.waitForCalls(3 + step));
        QCOMPARE(f.decoder.paths().at(2 + step), next[step]->candidates[0]);
    }
    f.decoder.hold(false);
    for (const Request* request : {&l1, &l2, &l3, &l4, &h1})
        QVERIFY(f.waitFor(*request));
    f.pipeline->prefetch({l1, l2, l3, l4, h1, f.request({"Z"})});
    QVERIFY(f.decoder.waitForCalls(6));
    QCOMPARE(f.decoder.paths().back(), f.file("Z"));
}

void PipelineTest::changedFilesAreDecodedAgain_data()
{
    QTest::addColumn<QString>("changed");
    QTest::addColumn<bool>("sameSize");
    QTest::addColumn<bool>("sameTime"); // the modification time put back: only the change time tells
    QTest::newRow("picture grown") << "a" << false << false;
    QTest::newRow("picture rewritten, same size") << "a" << true << false;
    QTest::newRow("picture rewritten, same size and time") << "a" << true << true;
    QTest::newRow("broken file grown") << "broken1" << false << false;
}

// Failures are cached like pictures: neither is decoded again unless its file changed.
void PipelineTest::changedFilesAreDecodedAgain()
{
    QFETCH(QString, changed);
    QFETCH(bool, sameSize);
    QFETCH(bool, sameTime);
    Fixture f(2);
    const QStringList names{"a", "b", "broken1", "broken2"};
    for (const QString& name : names)
        QVERIFY(f.waitFor(f.request({name})));

    QFile file(f.dir.filePath(changed));
    struct stat before {};
    QCOMPARE(::stat(QFile::encodeName(file.fileName()).constData(), &before), 0);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QDateTime modified = file.fileTime(QFileDevice::FileModificationTime);
    if (sameSize)
        QVERIFY(file.write("PICTURE") == 7 && file.flush() &&
                file.setFileTime(modified.addSecs(1), QFileDevice::FileModificationTime));
    else
        QVERIFY(file.seek(file.size()) && file.write("+") == 1);
    file.close();
    if (sameTime) {
        const timespec times[2] = {before.st_atim, before.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(file.fileName()).constData(), times, 0), 0);
    }

    for (const QString& name : names) {
        const std::optional<Result> result = f.waitFor(f.request({name}));
        QVERIFY(result);
        QCOMPARE(bool(result->decoded), !name.startsWith(u"broken"));
        QCOMPARE(f.decoder.calls(f.file(name)), name == changed ? 2 : 1);
    }
}

void PipelineTest::cacheKeepsToBudgetLeastRecentlyUsedOutFirst()
{
    const qint64 entry = PictureCache::CostOf(resultOf(50));
    PictureCache cache(3 * entry);
    for (int k = 0; k < 3; ++k)
        cache.insert(keyOf(k), resultOf(50));
    QVERIFY(cache.find(keyOf(0)));
    cache.insert(keyOf(3), resultOf(50));
    QVERIFY(cache.contains(keyOf(0)) && !cache.contains(keyOf(1)) && cache.contains(keyOf(2)));
    QCOMPARE(cache.bytes(), 3 * entry);

    // Failures count too; a newcomer larger than the whole budget stays alone.
    cache.insert(keyOf(4), Result{});
    QVERIFY(cache.contains(keyOf(0)) && !cache.contains(keyOf(2)) && cache.bytes() <= cache.budget());
    cache.insert(keyOf(5), resultOf(120));
    QVERIFY(cache.contains(keyOf(5)) && !cache.contains(keyOf(0)) && !cache.contains(keyOf(4)));
    QCOMPARE(cache.bytes(), PictureCache::CostOf(resultOf(120)));
}

// get(): Q is taken out of the queue and decoded by the worker kept for
// get(), though the only other one is busy with R; R, running, is waited
// for; both exactly once, neither on this thread, and no event runs meanwhile.
void PipelineTest::blockingGetDecodesOnceWithoutRunningEvents()
{
    Fixture f(1);
    f.decoder.hold(true);
    const Request r = f.request({"R"}, Purpose::View), q = f.request({"Q"}, Purpose::View);
    f.pipeline->submit({r, q});
    QVERIFY(f.decoder.waitForCalls(1));
    f.decoder.release(q.candidates[0]);
    const Result fromQueue = f.pipeline->get(q);
    QVERIFY(fromQueue.decoded);
    QVERIFY(f.decoder.callOf(fromQueue).thread != std::this_thread::get_id());
    QCOMPARE(f.decoder.paths(), (std::vector<std::string>{r.candidates[0], q.candidates[0]})); // R still held

    std::thread releaser([&f, &r] {
        std::this_thread::sleep_for(50ms);
        f.decoder.release(r.candidates[0]);
    });
    const Result running = f.pipeline->get(r);
    releaser.join();
    QVERIFY(f.decoder.callOf(running).path == r.candidates[0] &&
            f.decoder.callOf(running).thread != std::this_thread::get_id());

    f.pipeline->prefetch({f.request({"Z"})});
    f.decoder.hold(false);
    QVERIFY(f.decoder.waitForCalls(3));
    QVERIFY(f.decoder.callOf(f.pipeline->get(q)).path == q.candidates[0]);
    QCOMPARE(f.decoder.calls(q.candidates[0]) + f.decoder.calls(r.candidates[0]), 2);
    QCOMPARE(f.wakes, 0);
}

// Pictures decoded before their folder went are not served from the cache
// after it; the one decoding as it goes and those queued fail.
void PipelineTest::deletedFolderGivesFailures()
{
    Fixture f(1);
    std::vector<Request> pictures;
    for (int i = 0; i < 6; ++i)
        pictures.push_back(f.request({QStringLiteral("sub/P%1.BMP").arg(i)}));
    for (int i = 0; i < 2; ++i) {
        const std::optional<Result> result = f.waitFor(pictures[i]);
        QVERIFY(result && result->decoded);
    }
    f.decoder.hold(true);
    f.pipeline->submit(pictures);
    QVERIFY(f.decoder.waitForCalls(3));
    QVERIFY(QDir(f.dir.filePath("sub")).removeRecursively());
    f.decoder.hold(false);
    for (const Request& request : pictures) {
        const std::optional<Result> result = f.waitFor(request);
        QVERIFY(result);
        QCOMPARE(result->decoded.failure, Failure::Unreadable);
    }
}

// Queued work is dropped, running work waited for, and no signal reaches the
// window once the pipeline is gone.
void PipelineTest::destructionWithWorkInFlight()
{
    Fixture f(2);
    f.decoder.hold(true);
    std::vector<Request> page;
    for (int i = 0; i < 6; ++i)
        page.push_back(f.request({QString::number(i)}));
    f.pipeline->submit(page);
    QVERIFY(f.decoder.waitForCalls(2));
    std::thread releaser([&f] {
        std::this_thread::sleep_for(50ms);
        f.decoder.hold(false);
    });
    f.pipeline.reset();
    releaser.join();
    QCoreApplication::processEvents();
    QCOMPARE(f.decoder.paths().size(), 2u);
    QCOMPARE(f.wakes, 0);
}

namespace {

// A decode that reserves bytes of the shared budget, as a real one does
// after reading its header, holds them while it works, and records the most
// it saw reserved at once by all such decodes and the order it was served in.
struct ReservingDecoder {
    std::mutex mutex;
    std::condition_variable changed;
    qint64 held = 0;
    qint64 mostHeld = 0;
    std::vector<std::string> served;
    int waiting = 0;
    bool blocking = false; // the first decode (path "block*") holds its bytes until cleared

    Decoded decode(const std::string& path)
    {
        const bool blocker = QFileInfo(QFile::decodeName(path.c_str())).fileName().startsWith(u"block");
        // More than half the budget each: one decode holds memory at a time,
        // so the order they are served in is the order the budget granted
        // them (two granted at once could record in either order).
        const qint64 bytes = blocker ? DecodeBudget::Shared().total() : DecodeBudget::Shared().total() * 2 / 3;
        {
            const std::lock_guard lock(mutex);
            ++waiting;
            changed.notify_all();
        }
        MemoryReservation memory;
        if (memory.take(bytes) != Failure::None)
            return {std::nullopt, Failure::Cancelled};
        std::unique_lock lock(mutex);
        --waiting;
        held += bytes;
        mostHeld = std::max(mostHeld, held);
        served.push_back(path);
        changed.wait(lock, [&] { return !blocker || !blocking; });
        lock.unlock();
        std::this_thread::sleep_for(2ms);
        lock.lock();
        held -= bytes;
        QImage image(4, 4, QImage::Format_RGB32);
        return {Picture{image, image.size()}, Failure::None};
    }
};

// Stuck until the gate opens, without looking at its ticket: a decode stuck
// outside its progress checks. Its state is never destroyed, so that it uses
// nothing the test owns.
struct StuckDecodes {
    std::mutex mutex;
    std::condition_variable changed;
    int started = 0;
    bool open = false;
};

StuckDecodes& stuck()
{
    static auto* const decodes = new StuckDecodes;
    return *decodes;
}

Decoded stuckUntilOpened(const std::string&, QSize, Purpose)
{
    StuckDecodes& decodes = stuck();
    std::unique_lock lock(decodes.mutex);
    ++decodes.started;
    decodes.changed.notify_all();
    decodes.changed.wait(lock, [&decodes] { return decodes.open; });
    return {};
}

} // namespace

// Sixteen workers, a budget of 128 MiB and decodes of two thirds of it:
// never more than the budget at once, and once a blocker lets go, every decode drawn
// now is served before any decoded ahead, and every one is served.
void PipelineTest::sharedBudgetServesInPipelineOrder()
{
    ReservingDecoder decoder;
    decoder.blocking = true;
    QTemporaryDir dir;
    const auto file = [&dir](const QString& name) {
        QFile out(dir.filePath(name));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("picture");
    };
    const auto request = [&dir, &file](const QString& name) {
        file(name);
        return Request{{QFile::encodeName(dir.filePath(name)).toStdString()}, SquareBox(40), Purpose::Thumbnail};
    };
    auto pipeline = std::make_unique<Pipeline>(Pipeline::Options{
        .workers = 16, .decode = [&decoder](const std::string& path, QSize, Purpose) { return decoder.decode(path); }});
    // A failed check lets the blocker go before the pipeline joins its worker.
    const auto unblock = qScopeGuard([&decoder] {
        const std::lock_guard lock(decoder.mutex);
        decoder.blocking = false;
        decoder.changed.notify_all();
    });
    pipeline->submit({request("block")});
    {
        std::unique_lock lock(decoder.mutex);
        QVERIFY(decoder.changed.wait_for(lock, 10s, [&] { return decoder.served.size() == 1; }));
    }
    std::vector<Request> ahead, now;
    for (int i = 0; i < 7; ++i)
        ahead.push_back(request(QStringLiteral("ahead%1").arg(i)));
    for (int i = 0; i < 8; ++i)
        now.push_back(request(QStringLiteral("now%1").arg(i)));
    // While the blocker holds the whole budget, the others wait for memory
    // and none is served: one served past the budget fails at once.
    const auto allWaitWhileBlocked = [&decoder](int waiting) {
        std::unique_lock lock(decoder.mutex);
        return decoder.changed.wait_for(lock, 10s, [&] {
            return decoder.waiting == waiting || decoder.served.size() > 1;
        }) && decoder.served.size() == 1;
    };
    pipeline->prefetch(ahead);
    QVERIFY(allWaitWhileBlocked(7)); // the decodes ahead, before the page comes
    pipeline->submit(now);
    QVERIFY(allWaitWhileBlocked(15));
    {
        const std::lock_guard lock(decoder.mutex);
        decoder.blocking = false;
        decoder.changed.notify_all();
    }
    for (const Request& wanted : now)
        QVERIFY(waitFor(*pipeline, wanted));
    for (const Request& wanted : ahead)
        QVERIFY(waitFor(*pipeline, wanted));
    const std::lock_guard lock(decoder.mutex);
    QVERIFY(decoder.mostHeld <= DecodeBudget::Shared().total());
    QCOMPARE(decoder.served.size(), 16u);
    for (std::size_t i = 1; i < decoder.served.size(); ++i) {
        const bool nowServed = decoder.served[i].find("now") != std::string::npos;
        QVERIFY2(nowServed == (i <= now.size()), decoder.served[i].c_str());
    }
}

// A decode for a page turned away from stops at its next progress check,
// its result is not kept, and asked for again it is decoded again.
void PipelineTest::supersededDecodeIsCancelledAndNotKept()
{
    std::atomic<int> started = 0, cancelled = 0;
    Fixture f(1);
    f.pipeline = std::make_unique<Pipeline>(
        Pipeline::Options{.workers = 1, .decode = [&](const std::string&, QSize, Purpose) -> Decoded {
                              ++started;
                              for (int i = 0; i < 1000; ++i) {
                                  if (DecodeGuard::Check() == Failure::Cancelled) {
                                      ++cancelled;
                                      return {std::nullopt, Failure::Cancelled};
                                  }
                                  std::this_thread::sleep_for(10ms);
                              }
                              return {std::nullopt, Failure::TooSlow};
                          }});
    const Request a = f.request({"A"}), b = f.request({"B"});
    f.pipeline->submit({a});
    QTRY_COMPARE_WITH_TIMEOUT(started.load(), 1, 10000);
    f.pipeline->submit({b});
    QTRY_COMPARE_WITH_TIMEOUT(cancelled.load(), 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(started.load(), 2, 10000); // b runs now
    QVERIFY(!f.pipeline->tryGet(a));                     // not kept: a was asked for again
    f.pipeline->submit({a});                             // ...and b goes in turn
    QTRY_COMPARE_WITH_TIMEOUT(cancelled.load(), 2, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(started.load(), 3, 10000);
}

// Destroying a pipeline whose worker is stuck in a decode returns after the
// short grace it gives running decodes, with the decode still stuck, instead
// of waiting for it. Should destruction wait, the decode is let go after
// forty graces so that the test ends, failing.
void PipelineTest::stuckDecodeDoesNotHoldUpDestruction()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("A"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("picture") == 7);
    file.close();
    auto pipeline = std::make_unique<Pipeline>(Pipeline::Options{.workers = 2, .decode = stuckUntilOpened});
    pipeline->submit({Request{{QFile::encodeName(file.fileName()).toStdString()}, SquareBox(40), Purpose::Thumbnail}});
    StuckDecodes& decodes = stuck();
    {
        std::unique_lock lock(decodes.mutex);
        QVERIFY(decodes.changed.wait_for(lock, 10s, [&decodes] { return decodes.started == 1; }));
    }
    bool destroyed = false;
    std::thread opener([&decodes, &destroyed] {
        std::unique_lock lock(decodes.mutex);
        decodes.changed.wait_for(lock, 40 * Pipeline::StopGrace, [&destroyed] { return destroyed; });
        decodes.open = true;
        decodes.changed.notify_all();
    });
    pipeline.reset();
    bool stillStuck = false;
    {
        const std::lock_guard lock(decodes.mutex);
        stillStuck = !decodes.open;
        destroyed = true;
        decodes.changed.notify_all();
    }
    opener.join();
    QVERIFY(stillStuck);
}

QTEST_GUILESS_MAIN(PipelineTest)
#include "tst_pipeline.moc"
