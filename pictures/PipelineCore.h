#pragma once

#include "Decode.h"
#include "DecodeTicket.h"
#include "PictureCache.h"
#include "Request.h"
#include "RequestKey.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

namespace Pictures {

// The state and the rules of the picture pipeline, shared by its owner and
// its worker threads: the two queues, the decodes in flight, the caches.
// Each worker holds it too, so a worker that cannot be stopped when the
// pipeline goes keeps what it uses alive, and the pipeline need not wait
// for it. Everything here is thread-safe; see Pipeline for the semantics.
class PipelineCore {
public:
    using DecodeFunction = std::function<Decoded(const std::string& path, QSize box, Purpose purpose)>;
    using AreaDecodeFunction = std::function<Decoded(const std::string& path, QRect area, QSize box)>;
    // What get() waits for, what is drawn now, what is decoded ahead.
    enum class Priority { Awaited, Now, Ahead };
    // A worker decodes anything, in the order of the priorities; the one
    // worker kept for get() decodes only what get() waits for, so that the
    // owner never waits for a worker to come free.
    enum class Lane { Any, AwaitedOnly };

    struct Budgets {
        qint64 thumbnailBytes = 0;
        qint64 viewBytes = 0;
        qint64 screenBytes = 0;
    };
    PipelineCore(DecodeFunction decode, AreaDecodeFunction decodeArea, Budgets budgets, int workers);

    // Called, with the core's lock held, when a decode ends; cleared by stop().
    void setWake(std::function<void()> wake);

    void replaceQueue(Priority priority, const std::vector<Request>& requests);
    std::optional<Result> tryGet(const Request& request);
    std::optional<Result> cached(const Request& request);
    Result get(const Request& request, std::chrono::milliseconds patience);
    // Runs a worker until stop().
    void workLoop(Lane lane);
    // At most `limit` workers of Lane::Any decode at once (0: all of them).
    void setDecodingLimit(int limit);
    // Drops queued work, cancels every decode in flight and waits up to
    // grace for the workers to leave; false when some did not.
    bool stop(std::chrono::milliseconds grace);

    // For tests and benchmarks: get() calls that found no result ready and
    // waited, and whether nothing is queued or being decoded.
    quint64 waitedGets();
    bool idle();

private:
    struct Flight;
    struct Job {
        RequestKey key;
        Request request;
        // A job get() queued has its flight already (it is known, and
        // waited for, from the moment it is queued).
        std::shared_ptr<Flight> flight{};
    };
    // A request being decoded, and who still wants it. A flight nobody
    // wants any more is cancelled; wanted again, it goes on (or, if its
    // decode gave up meanwhile, is queued again when it lands).
    struct Flight {
        Job job; // its own flight pointer empty
        std::shared_ptr<DecodeTicket> ticket;
        std::optional<Result> result;
        bool inNow = false;   // in the latest submitted batch
        bool inAhead = false; // in the latest batch to decode ahead
        bool asked = false;   // asked for by tryGet() since the latest submit
        int waiters = 0;      // get() calls waiting for it
        bool wanted() const { return inNow || inAhead || asked || waiters > 0; }
    };

    // With mutex_ held:
    std::deque<Job>& queue(Priority priority) { return queues_[std::size_t(priority)]; }
    const std::deque<Job>& queue(Priority priority) const { return queues_[std::size_t(priority)]; }
    PictureCache& cacheFor(const RequestKey& key);
    bool isKnown(const RequestKey& key);
    void unqueue(const RequestKey& key);
    bool hasQueuedWork(Lane lane) const;
    bool atDecodingLimit() const;
    std::pair<Job, DecodeTicket::Rank> takeNextJob();
    std::shared_ptr<Flight> newFlight(const Job& job, DecodeTicket::Rank rank);
    void updateCancelled(Flight& flight) const;
    void fly(std::unique_lock<std::mutex>& lock, const Job& job, DecodeTicket::Rank rank);
    void land(Flight& flight, const Result& result);

    Result decodeRequest(const Request& request, const RequestKey& key) const;

    const DecodeFunction decode_;
    const AreaDecodeFunction decodeArea_;
    std::mutex mutex_;
    std::condition_variable workQueued_;
    std::condition_variable awaitedQueued_; // for the worker kept for get()
    std::condition_variable flightLanded_;
    std::condition_variable workerLeft_;
    std::array<std::deque<Job>, 3> queues_;
    std::unordered_map<RequestKey, std::shared_ptr<Flight>, RequestKey::Hash> flights_;
    PictureCache thumbnails_;
    PictureCache views_;
    PictureCache screens_;
    std::function<void()> wake_;
    quint64 flightsStarted_ = 0;
    quint64 waitedGets_ = 0;
    int workersLeft_ = 0;   // workers still running their loop
    int decodingLimit_ = 0; // see setDecodingLimit()
    int decodingAny_ = 0;   // decodes running on workers of Lane::Any
    bool stopping_ = false;
};

} // namespace Pictures
