#include "Pipeline.h"

#include <malloc.h>

namespace Pictures {

namespace {

// One per core, unless KALVIO_DECODE_WORKERS says how many (benchmarks use
// it to stand for machines of other sizes).
int defaultWorkers()
{
    bool given = false;
    const int workers = qEnvironmentVariableIntValue("KALVIO_DECODE_WORKERS", &given);
    if (given && workers > 0 && workers <= 1024)
        return workers;
    return int(std::max(1U, std::thread::hardware_concurrency()));
}

// Decode buffers are large and short-lived. glibc's malloc gives each
// thread an arena of its own, up to eight per core, and an arena keeps the
// large buffers freed in it for reuse: with a worker per core the process
// would hold up to a decode's worth of memory per worker, however little the
// shared budget lets decodes use at once. One arena for all threads holds
// little more than the decodes use at once, and what it keeps past a bound is
// given back after large decodes (FreedMemory.h). Reuse stays fast: a fixed
// mapping threshold, which maps every large buffer afresh, made the first
// page of progressive photographs half as slow again and the full screen's
// first picture 100 ms slower. Decodes allocate seldom, in large pieces, so
// threads hardly ever wait for the arena.
void shareOneArena()
{
#ifdef __GLIBC__
    static const bool set = mallopt(M_ARENA_MAX, 1) == 1;
    Q_UNUSED(set);
#endif
}

} // namespace

Pipeline::Pipeline(QObject* parent) : Pipeline(Options(), parent) {}

Pipeline::Pipeline(Options options, QObject* parent) : QObject(parent)
{
    shareOneArena();
    const int count = options.workers > 0 ? options.workers : defaultWorkers();
    workerCount_ = count;
    // The workers, and one more kept for what get() waits for.
    core_ = std::make_shared<PipelineCore>(
        std::move(options.decode), std::move(options.decodeArea),
        PipelineCore::Budgets{options.thumbnailBytes, options.viewBytes, options.screenBytes}, count + 1);
    connect(&wakeChannel_, &WakeChannel::woken, this, &Pipeline::deliverWake);
    // Called with the core's lock held, which destruction takes to clear it:
    // no wake-up is posted to a pipeline being destroyed.
    core_->setWake([this] {
        if (!wakePending_.exchange(true))
            wakeChannel_.post();
    });
    workers_.reserve(std::size_t(count) + 1);
    for (int i = 0; i < count; ++i)
        workers_.emplace_back([core = core_] { core->workLoop(PipelineCore::Lane::Any); });
    workers_.emplace_back([core = core_] { core->workLoop(PipelineCore::Lane::AwaitedOnly); });
}

// Running decodes are cancelled and get a moment to stop; a worker still
// busy after it is let go with its share of the state.
Pipeline::~Pipeline()
{
    const bool allStopped = core_->stop(StopGrace);
    for (std::thread& worker : workers_) {
        if (allStopped)
            worker.join();
        else
            worker.detach();
    }
}

void Pipeline::submit(const std::vector<Request>& requests)
{
    core_->replaceQueue(PipelineCore::Priority::Now, requests);
}

void Pipeline::prefetch(const std::vector<Request>& requests)
{
    core_->replaceQueue(PipelineCore::Priority::Ahead, requests);
}

std::optional<Result> Pipeline::tryGet(const Request& request)
{
    return core_->tryGet(request);
}

std::optional<Result> Pipeline::cached(const Request& request) const
{
    return core_->cached(request);
}

Result Pipeline::get(const Request& request)
{
    return core_->get(request, GetPatience);
}

void Pipeline::setDecodingWorkers(int count)
{
    core_->setDecodingLimit(count);
}

quint64 Pipeline::waitedGets() const
{
    return core_->waitedGets();
}

bool Pipeline::isIdle() const
{
    return core_->idle();
}

// Cleared before emitting, so a decode that ends meanwhile posts a new wake-up.
void Pipeline::deliverWake()
{
    wakePending_ = false;
    emit resultReady();
}

} // namespace Pictures
