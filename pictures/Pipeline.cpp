#include "Pipeline.h"

#include <algorithm>

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

// Decode buffers are large and short-lived, and glibc's malloc keeps what
// they free unless told otherwise:
// - it gives each thread an arena of its own, up to eight per core, and an
//   arena keeps large freed buffers for reuse, so with a worker per core the
//   process would hold up to a decode's worth of memory per worker: one
//   arena serves every thread (decodes allocate seldom, in large pieces, so
//   threads hardly ever wait for it);
// - past the first large buffer freed, it raises its mapping threshold to
//   that buffer's size (up to 32 MiB), so every smaller buffer comes from
//   the arena's heap, whose holes between longer-lived blocks it can seldom
//   give back. Fast paging over progressive 12 MP photographs (each decode
//   holds 36 MB of libjpeg's coefficients) so kept 228-232 MiB resident at 8
//   to 64 workers, 113-116 MiB with the threshold fixed at 1 MiB. A fixed
//   threshold maps every buffer of megabytes afresh and unmaps it when
//   freed, so that what is resident follows what decodes hold, which the
//   shared budget bounds. Mapping afresh costs its page faults, about
//   0.5 ms a megabyte here; libjpeg's largest buffer was mapped afresh for
//   every decode anyway, being at the raised threshold itself.
void boundTheAllocator()
{
#ifdef __GLIBC__
    static const bool set = mallopt(M_ARENA_MAX, 1) == 1 && mallopt(M_MMAP_THRESHOLD, 1 << 20) == 1;
    Q_UNUSED(set);
#endif
}

} // namespace

Pipeline::Pipeline(QObject* parent) : Pipeline(Options(), parent) {}

Pipeline::Pipeline(Options options, QObject* parent) : QObject(parent)
{
    boundTheAllocator();
    const int count = options.workers > 0 ? options.workers : defaultWorkers();
    // The workers, and one more kept for what get() waits for.
    core_ = std::make_shared<PipelineCore>(
        std::move(options.decode),
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

Result Pipeline::get(const Request& request)
{
    return core_->get(request, GetPatience);
}

// Cleared before emitting, so a decode that ends meanwhile posts a new wake-up.
void Pipeline::deliverWake()
{
    wakePending_ = false;
    emit resultReady();
}

} // namespace Pictures
