#include "PipelineCore.h"

#include "DecodeBudget.h"
#include "FreedMemory.h"

#include <algorithm>
#include <unordered_set>

namespace Pictures {

PipelineCore::PipelineCore(DecodeFunction decode, AreaDecodeFunction decodeArea, Budgets budgets, int workers)
    : decode_(std::move(decode)), decodeArea_(std::move(decodeArea)), thumbnails_(budgets.thumbnailBytes),
      views_(budgets.viewBytes), screens_(budgets.screenBytes), workersLeft_(workers)
{
}

void PipelineCore::setWake(std::function<void()> wake)
{
    const std::lock_guard lock(mutex_);
    wake_ = std::move(wake);
}

void PipelineCore::replaceQueue(Priority priority, const std::vector<Request>& requests)
{
    // The files are stat'ed before the lock is taken: a slow disk must not
    // hold up the workers.
    std::vector<Job> jobs;
    jobs.reserve(requests.size());
    for (const Request& request : requests)
        jobs.push_back(Job{RequestKey::Of(request), request});
    {
        const std::lock_guard lock(mutex_);
        queue(priority).clear();
        std::unordered_set<RequestKey, RequestKey::Hash> batch;
        for (Job& job : jobs) {
            batch.insert(job.key);
            if (priority == Priority::Now)
                std::erase_if(queue(Priority::Ahead), [&job](const Job& queued) { return queued.key == job.key; });
            if (!isKnown(job.key))
                queue(priority).push_back(std::move(job));
        }
        // Decodes in flight for what the new batch no longer holds stop at
        // their next progress check, unless something else still wants them.
        for (auto& [key, flight] : flights_) {
            const bool inBatch = batch.contains(key);
            if (priority == Priority::Now) {
                flight->inNow = inBatch;
                flight->asked = false;
                if (inBatch)
                    flight->ticket->raise(DecodeTicket::Now);
            } else {
                flight->inAhead = inBatch;
            }
            updateCancelled(*flight);
        }
    }
    workQueued_.notify_all();
    DecodeBudget::Shared().recheck();
}

std::optional<Result> PipelineCore::tryGet(const Request& request)
{
    Job job{RequestKey::Of(request), request};
    {
        const std::lock_guard lock(mutex_);
        if (std::optional<Result> cached = cacheFor(job.key).find(job.key))
            return cached;
        if (const auto flying = flights_.find(job.key); flying != flights_.end()) {
            Flight& flight = *flying->second;
            flight.asked = true;
            flight.ticket->raise(DecodeTicket::Now);
            updateCancelled(flight);
        } else {
            // The owner waits for exactly this one: it goes first.
            unqueue(job.key);
            queue(Priority::Now).push_front(std::move(job));
        }
    }
    workQueued_.notify_one();
    DecodeBudget::Shared().recheck();
    return std::nullopt;
}

std::optional<Result> PipelineCore::cached(const Request& request)
{
    const RequestKey key = RequestKey::Of(request);
    const std::lock_guard lock(mutex_);
    return cacheFor(key).find(key);
}

// Never decodes on the calling thread: what is neither cached nor in flight
// goes to the worker kept for get(), so the owner's thread reads no file and
// waits at most its patience, whatever the file does.
Result PipelineCore::get(const Request& request, std::chrono::milliseconds patience)
{
    const RequestKey key = RequestKey::Of(request);
    const auto giveUpAt = std::chrono::steady_clock::now() + patience;
    std::unique_lock lock(mutex_);
    for (bool waited = false;; waited = true) {
        if (std::optional<Result> cached = cacheFor(key).find(key))
            return *cached;
        if (!waited)
            ++waitedGets_;
        // Held here, so the result outlives the flight's entry and even an
        // eviction from the cache.
        std::shared_ptr<Flight> flight;
        if (const auto flying = flights_.find(key); flying != flights_.end()) {
            flight = flying->second;
        } else {
            unqueue(key);
            const Job job{key, request, nullptr};
            flight = newFlight(job, DecodeTicket::Awaited);
            queue(Priority::Awaited).push_back(Job{key, request, flight});
            awaitedQueued_.notify_one();
            workQueued_.notify_one();
        }
        ++flight->waiters;
        flight->ticket->raise(DecodeTicket::Awaited);
        updateCancelled(*flight);
        DecodeBudget::Shared().recheck();
        const bool landed = flightLanded_.wait_until(lock, giveUpAt, [&flight] { return flight->result.has_value(); });
        --flight->waiters;
        if (!landed) {
            updateCancelled(*flight);
            return Result{Decoded{std::nullopt, Failure::TooSlow}, 0};
        }
        // A decode that gave up just before this call wanted it is made again.
        if (flight->result->decoded.failure != Failure::Cancelled || stopping_)
            return *flight->result;
    }
}

void PipelineCore::workLoop(Lane lane)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        (lane == Lane::AwaitedOnly ? awaitedQueued_ : workQueued_).wait(lock, [this, lane] {
            return stopping_ || (hasQueuedWork(lane) && (lane == Lane::AwaitedOnly || !atDecodingLimit()));
        });
        if (stopping_)
            break;
        auto [job, rank] = takeNextJob();
        if (lane == Lane::Any)
            ++decodingAny_;
        fly(lock, job, rank);
        if (lane == Lane::Any)
            --decodingAny_;
    }
    --workersLeft_;
    workerLeft_.notify_all();
}

void PipelineCore::setDecodingLimit(int limit)
{
    const std::lock_guard lock(mutex_);
    decodingLimit_ = limit;
    workQueued_.notify_all();
}

bool PipelineCore::atDecodingLimit() const
{
    return decodingLimit_ > 0 && decodingAny_ >= decodingLimit_;
}

bool PipelineCore::stop(std::chrono::milliseconds grace)
{
    std::unique_lock lock(mutex_);
    stopping_ = true;
    wake_ = nullptr;
    // What get() waits for in the queue is let go as cancelled.
    for (const Job& job : queue(Priority::Awaited))
        land(*job.flight, Result{Decoded{std::nullopt, Failure::Cancelled}, -1});
    for (std::deque<Job>& waiting : queues_)
        waiting.clear();
    for (auto& [key, flight] : flights_)
        flight->ticket->setCancelled(true);
    workQueued_.notify_all();
    awaitedQueued_.notify_all();
    DecodeBudget::Shared().recheck();
    return workerLeft_.wait_for(lock, grace, [this] { return workersLeft_ == 0; });
}

quint64 PipelineCore::waitedGets()
{
    const std::lock_guard lock(mutex_);
    return waitedGets_;
}

bool PipelineCore::idle()
{
    const std::lock_guard lock(mutex_);
    return flights_.empty() &&
           std::all_of(queues_.begin(), queues_.end(), [](const std::deque<Job>& jobs) { return jobs.empty(); });
}

PictureCache& PipelineCore::cacheFor(const RequestKey& key)
{
    switch (key.purpose()) {
    case Purpose::Thumbnail:
        return thumbnails_;
    case Purpose::View:
        return views_;
    case Purpose::Screen:
        break;
    }
    return screens_;
}

// Cached (and now recently used), being decoded, or queued. What get()
// queued is in flight already.
bool PipelineCore::isKnown(const RequestKey& key)
{
    const auto waiting = [&key](const std::deque<Job>& jobs) {
        return std::any_of(jobs.begin(), jobs.end(), [&key](const Job& job) { return job.key == key; });
    };
    return cacheFor(key).find(key) || flights_.contains(key) || waiting(queue(Priority::Now)) ||
           waiting(queue(Priority::Ahead));
}

// Out of the queues of work not yet started; what get() queued stays.
void PipelineCore::unqueue(const RequestKey& key)
{
    for (const Priority priority : {Priority::Now, Priority::Ahead})
        std::erase_if(queue(priority), [&key](const Job& job) { return job.key == key; });
}

bool PipelineCore::hasQueuedWork(Lane lane) const
{
    if (lane == Lane::AwaitedOnly)
        return !queue(Priority::Awaited).empty();
    return std::any_of(queues_.begin(), queues_.end(), [](const std::deque<Job>& jobs) { return !jobs.empty(); });
}

// What get() waits for first, then submitted work; work to do ahead only
// when none waits.
std::pair<PipelineCore::Job, DecodeTicket::Rank> PipelineCore::takeNextJob()
{
    for (const auto& [priority, rank] :
         {std::pair{Priority::Awaited, DecodeTicket::Awaited}, std::pair{Priority::Now, DecodeTicket::Now},
          std::pair{Priority::Ahead, DecodeTicket::Ahead}}) {
        std::deque<Job>& jobs = queue(priority);
        if (jobs.empty())
            continue;
        Job job = std::move(jobs.front());
        jobs.pop_front();
        return {std::move(job), rank};
    }
    Q_UNREACHABLE();
}

// A decode marked as in flight, so that nobody decodes it a second time.
std::shared_ptr<PipelineCore::Flight> PipelineCore::newFlight(const Job& job, DecodeTicket::Rank rank)
{
    const auto flight = std::make_shared<Flight>();
    flight->job = Job{job.key, job.request, nullptr};
    flight->ticket = std::make_shared<DecodeTicket>(rank, ++flightsStarted_);
    flight->inNow = rank == DecodeTicket::Now;
    flight->inAhead = rank == DecodeTicket::Ahead;
    flights_.emplace(job.key, flight);
    return flight;
}

void PipelineCore::updateCancelled(Flight& flight) const
{
    flight.ticket->setCancelled(stopping_ || !flight.wanted());
}

// Decodes job with the lock released, in flight meanwhile (a job get()
// queued is in flight already), then lands it. Called and returns with the
// lock held.
void PipelineCore::fly(std::unique_lock<std::mutex>& lock, const Job& job, DecodeTicket::Rank rank)
{
    const std::shared_ptr<Flight> flight = job.flight ? job.flight : newFlight(job, rank);
    lock.unlock();
    Result result;
    {
        const DecodeTicket::Scope scope(*flight->ticket);
        result = decodeRequest(job.request, job.key);
    }
    GiveBackFreedMemory(flight->ticket->mostReserved());
    lock.lock();
    land(*flight, result);
}

// Keeps the result and wakes whoever waits for it. A cancelled decode is not
// kept: if something wants it again by now, it is queued again.
void PipelineCore::land(Flight& flight, const Result& result)
{
    flight.result = result;
    flights_.erase(flight.job.key);
    if (result.decoded.failure != Failure::Cancelled)
        cacheFor(flight.job.key).insert(flight.job.key, result);
    else if (!stopping_ && (flight.inNow || flight.asked))
        queue(Priority::Now).push_front(flight.job);
    else if (!stopping_ && flight.inAhead)
        queue(Priority::Ahead).push_front(flight.job);
    workQueued_.notify_one();
    flightLanded_.notify_all();
    if (wake_)
        wake_();
}

// Tries the candidates in order until one gives a picture. One that was no
// regular file when the key was made is not opened at all; a cancelled
// decode tries no further candidate.
Result PipelineCore::decodeRequest(const Request& request, const RequestKey& key) const
{
    Result result{Decoded{std::nullopt, Failure::Unreadable}, -1};
    for (std::size_t i = 0; i < request.candidates.size() && !result.decoded; ++i) {
        if (result.decoded.failure == Failure::Cancelled)
            break;
        result.candidate = int(i);
        if (!key.isRegularFile(i))
            result.decoded = Decoded{std::nullopt, Failure::Unreadable};
        else if (!request.area.isEmpty())
            result.decoded = decodeArea_(request.candidates[i], request.area, request.box);
        else
            result.decoded = decode_(request.candidates[i], request.box, request.purpose);
    }
    return result;
}

} // namespace Pictures
