#pragma once

#include "Decode.h"
#include "PictureCache.h"
#include "Request.h"
#include "RequestKey.h"

#include <QObject>

#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

namespace Pictures {

// Decodes pictures on worker threads, one per core, and keeps what they give
// in a cache bounded in bytes, so that drawing a page never waits for more
// than its slowest picture and pictures seen a moment ago come back at once.
//
// Work comes in two queues, each holding the latest batch its owner gave:
// - submit(): what is being drawn now, decoded first, in the order given;
// - prefetch(): what will probably be wanted next (the neighbouring pages, the
//   pictures either side of the enlarged one), started only while nothing
//   submitted waits.
// A new batch replaces the queued rest of the previous batch of its kind (a
// page turned, a folder changed); decodes already running finish into the
// cache. A request that is cached, running or queued already is not decoded
// again.
//
// Results are found by RequestKey: every lookup stats the candidate files, so
// a file that changed since it was decoded is decoded again.
//
// Threads: create, call and destroy the pipeline on one thread that runs an
// event loop (the window's). Workers never call back into the owner: when a
// decode ends they post one wake-up to the pipeline, which then emits
// resultReady() on the owner's thread. A page pass therefore waits like this:
//
//     pipeline.submit(pageRequests);
//     for each cell:
//         while (!(result = pipeline.tryGet(cellRequest)))
//             QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
//         draw *result;
//
// with resultReady() connected to anything in the window (the queued wake-up
// is what ends the wait). Destroying the pipeline drops queued work, waits for
// running decodes to end and discards any wake-up not yet delivered, so no
// signal comes after it is gone.
class Pipeline : public QObject {
    Q_OBJECT
public:
    // Decodes one file; called from several threads at once.
    using DecodeFunction = std::function<Decoded(const std::string& path, int longSide, Purpose purpose)>;

    struct Options {
        int workers = 0; // 0: one per core
        // Cache budgets: thumbnails are small and many (about 45 KB each at
        // 120 x 90, four times that on a double-density screen), enlarged
        // pictures large and few (under 1 MB at 533 px, 3.4 MB at twice that).
        qint64 thumbnailBytes = 64LL << 20;
        qint64 viewBytes = 32LL << 20;
        DecodeFunction decode = Decode;
    };

    explicit Pipeline(QObject* parent = nullptr);
    explicit Pipeline(Options options, QObject* parent = nullptr);
    ~Pipeline() override;

    // Queues requests to be decoded now, in order, in place of the queued rest
    // of the previous submit() (an empty list just drops it). Requests
    // waiting in the prefetch queue move over to this one.
    void submit(const std::vector<Request>& requests);

    // Queues requests to be decoded while nothing submitted waits, in order,
    // in place of the queued rest of the previous prefetch(): pass everything
    // to decode ahead in one call.
    void prefetch(const std::vector<Request>& requests);

    // The result of request if it is decoded, without waiting. Otherwise
    // makes sure it is on its way, ahead of all other queued work, and
    // returns nothing: resultReady() follows when it (or anything) is done.
    std::optional<Result> tryGet(const Request& request);

    // The result of request, waiting for it without running any events: at
    // once from the cache, after the worker that decodes it now, or decoded
    // on the calling thread (taken out of the queue if it waited there).
    Result get(const Request& request);

signals:
    // Something was decoded: a tryGet() that missed may now succeed.
    void resultReady();

private:
    enum class Priority { Now, Ahead };
    struct Job {
        RequestKey key;
        Request request;
    };
    // A request being decoded; whoever waits for it holds it until the result lands.
    struct Flight {
        std::optional<Result> result;
    };

    static std::vector<Job> jobsFor(const std::vector<Request>& requests);
    void replaceQueue(Priority priority, const std::vector<Request>& requests);
    void workLoop();

    // With mutex_ held:
    std::deque<Job>& queue(Priority priority) { return queues_[std::size_t(priority)]; }
    PictureCache& cacheFor(const RequestKey& key);
    bool isKnown(const RequestKey& key);
    void unqueue(Priority priority, const RequestKey& key);
    bool hasQueuedWork() const;
    Job takeNextJob();
    Result fly(std::unique_lock<std::mutex>& lock, const Job& job);
    void announce();

    Result decodeRequest(const Request& request, const RequestKey& key) const;
    void deliverWake();

    DecodeFunction decode_;
    std::mutex mutex_;
    std::condition_variable workQueued_;
    std::condition_variable flightLanded_;
    std::array<std::deque<Job>, 2> queues_;
    std::unordered_map<RequestKey, std::shared_ptr<Flight>, RequestKey::Hash> flights_;
    PictureCache thumbnails_;
    PictureCache views_;
    bool stopping_ = false;
    std::atomic<bool> wakePending_ = false;
    std::vector<std::thread> workers_; // started last, once everything above exists
};

} // namespace Pictures
