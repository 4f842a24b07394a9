#include "Pipeline.h"

#include <algorithm>

namespace Pictures {

Pipeline::Pipeline(QObject* parent) : Pipeline(Options(), parent) {}

Pipeline::Pipeline(Options options, QObject* parent)
    : QObject(parent), decode_(std::move(options.decode)), thumbnails_(options.thumbnailBytes),
      views_(options.viewBytes)
{
    const int count = options.workers > 0 ? options.workers : int(std::max(1U, std::thread::hardware_concurrency()));
    workers_.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        workers_.emplace_back(&Pipeline::workLoop, this);
}

// Queued work is dropped; a decode that is running cannot be interrupted, so
// it is waited for. A wake-up it posts is discarded with this object.
Pipeline::~Pipeline()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        for (std::deque<Job>& waiting : queues_)
            waiting.clear();
    }
    workQueued_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

void Pipeline::submit(const std::vector<Request>& requests)
{
    replaceQueue(Priority::Now, requests);
}

void Pipeline::prefetch(const std::vector<Request>& requests)
{
    replaceQueue(Priority::Ahead, requests);
}

std::optional<Result> Pipeline::tryGet(const Request& request)
{
    Job job{RequestKey::Of(request), request};
    {
        const std::lock_guard lock(mutex_);
        if (std::optional<Result> cached = cacheFor(job.key).find(job.key))
            return cached;
        if (flights_.contains(job.key))
            return std::nullopt;
        // The owner waits for exactly this one: it goes first.
        unqueue(Priority::Now, job.key);
        unqueue(Priority::Ahead, job.key);
        queue(Priority::Now).push_front(std::move(job));
    }
    workQueued_.notify_one();
    return std::nullopt;
}

Result Pipeline::get(const Request& request)
{
    Job job{RequestKey::Of(request), request};
    std::unique_lock lock(mutex_);
    if (std::optional<Result> cached = cacheFor(job.key).find(job.key))
        return *cached;
    if (const auto flying = flights_.find(job.key); flying != flights_.end()) {
        // Held here, so the result outlives the flight's entry and even an
        // eviction from the cache.
        const std::shared_ptr<Flight> flight = flying->second;
        flightLanded_.wait(lock, [&flight] { return flight->result.has_value(); });
        return *flight->result;
    }
    // Queued or not, it is decoded here and now, once.
    unqueue(Priority::Now, job.key);
    unqueue(Priority::Ahead, job.key);
    return fly(lock, job);
}

std::vector<Pipeline::Job> Pipeline::jobsFor(const std::vector<Request>& requests)
{
    std::vector<Job> jobs;
    jobs.reserve(requests.size());
    for (const Request& request : requests)
        jobs.push_back(Job{RequestKey::Of(request), request});
    return jobs;
}

void Pipeline::replaceQueue(Priority priority, const std::vector<Request>& requests)
{
    // The files are stat'ed before the lock is taken: a slow disk must not
    // hold up the workers.
    std::vector<Job> jobs = jobsFor(requests);
    {
        const std::lock_guard lock(mutex_);
        queue(priority).clear();
        for (Job& job : jobs) {
            if (priority == Priority::Now)
                unqueue(Priority::Ahead, job.key);
            if (!isKnown(job.key))
                queue(priority).push_back(std::move(job));
        }
    }
    workQueued_.notify_all();
}

PictureCache& Pipeline::cacheFor(const RequestKey& key)
{
    return key.purpose() == Purpose::Thumbnail ? thumbnails_ : views_;
}

// Cached (and now recently used), being decoded, or queued.
bool Pipeline::isKnown(const RequestKey& key)
{
    const auto waiting = [&key](const std::deque<Job>& jobs) {
        return std::any_of(jobs.begin(), jobs.end(), [&key](const Job& job) { return job.key == key; });
    };
    return cacheFor(key).find(key) || flights_.contains(key) || waiting(queue(Priority::Now)) ||
           waiting(queue(Priority::Ahead));
}

void Pipeline::unqueue(Priority priority, const RequestKey& key)
{
    std::erase_if(queue(priority), [&key](const Job& job) { return job.key == key; });
}

bool Pipeline::hasQueuedWork() const
{
    return std::any_of(queues_.begin(), queues_.end(), [](const std::deque<Job>& jobs) { return !jobs.empty(); });
}

// Submitted work first; work to do ahead only when none waits.
Pipeline::Job Pipeline::takeNextJob()
{
    std::deque<Job>& jobs = queue(Priority::Now).empty() ? queue(Priority::Ahead) : queue(Priority::Now);
    Job job = std::move(jobs.front());
    jobs.pop_front();
    return job;
}

// Decodes job with the lock released, marked as in flight meanwhile so that
// nobody decodes it a second time, then keeps the result and wakes whoever
// waits for it. Called and returns with the lock held.
Result Pipeline::fly(std::unique_lock<std::mutex>& lock, const Job& job)
{
    const auto flight = std::make_shared<Flight>();
    flights_.emplace(job.key, flight);
    lock.unlock();
    Result result = decodeRequest(job.request, job.key);
    lock.lock();
    flight->result = result;
    flights_.erase(job.key);
    cacheFor(job.key).insert(job.key, result);
    flightLanded_.notify_all();
    announce();
    return result;
}

void Pipeline::workLoop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        workQueued_.wait(lock, [this] { return stopping_ || hasQueuedWork(); });
        if (stopping_)
            return;
        fly(lock, takeNextJob());
    }
}

// Tries the candidates in order until one gives a picture. One that was no
// regular file when the key was made is not opened at all.
Result Pipeline::decodeRequest(const Request& request, const RequestKey& key) const
{
    Result result{Decoded{std::nullopt, Failure::Unreadable}, -1};
    for (std::size_t i = 0; i < request.candidates.size() && !result.decoded; ++i) {
        result.candidate = int(i);
        result.decoded = key.isRegularFile(i) ? decode_(request.candidates[i], request.longSide, request.purpose)
                                              : Decoded{std::nullopt, Failure::Unreadable};
    }
    return result;
}

// From any thread: one wake-up at a time is posted to this object on the
// owner's thread; it goes with this object if that is destroyed first.
void Pipeline::announce()
{
    if (!wakePending_.exchange(true))
        QMetaObject::invokeMethod(this, &Pipeline::deliverWake, Qt::QueuedConnection);
}

// Cleared before emitting, so a decode that ends meanwhile posts a new wake-up.
void Pipeline::deliverWake()
{
    wakePending_ = false;
    emit resultReady();
}

} // namespace Pictures
