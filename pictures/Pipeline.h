#pragma once

#include "Decode.h"
#include "PipelineCore.h"
#include "Request.h"
#include "WakeChannel.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace Pictures {

// Decodes pictures on worker threads, one per core and one more kept for
// what its owner waits for, and keeps what they give
// in a cache bounded in bytes, so that drawing a page never waits for more
// than its slowest picture and pictures seen a moment ago come back at once.
//
// Work comes in two queues, each holding the latest batch its owner gave:
// - submit(): what is being drawn now, decoded first, in the order given;
// - prefetch(): what will probably be wanted next (the neighbouring pages, the
//   pictures either side of the enlarged one), started only while nothing
//   submitted waits.
// A new batch replaces the queued rest of the previous batch of its kind (a
// page turned, a folder changed). A decode already running for a request
// that neither latest batch holds, nor tryGet() asked for since the latest
// submit(), nor get() waits for, is cancelled at its next progress check and
// nothing of it is kept. A request that is cached, running or queued already
// is not decoded again.
//
// Every decode reserves its memory from the process's one DecodeBudget
// before allocating it, so the memory decodes take is bounded whatever the
// number of workers. Waiting for memory follows the pipeline's order: what
// get() waits for, then what is drawn now, then what is decoded ahead.
//
// Results are found by RequestKey: every lookup stats the candidate files, so
// a file that changed since it was decoded is decoded again.
//
// Threads: create, call and destroy the pipeline on one thread that runs an
// event loop (the window's). Workers never call back into the owner: when a
// decode ends they post one wake-up to the pipeline (through a WakeChannel,
// a hand-over ThreadSanitizer sees), which then emits resultReady() on the
// owner's thread. A page pass therefore waits like this:
//
//     pipeline.submit(pageRequests);
//     for each cell:
//         while (!(result = pipeline.tryGet(cellRequest)))
//             QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
//         draw *result;
//
// with resultReady() connected to anything in the window (the queued wake-up
// is what ends the wait). Destroying the pipeline drops queued work, cancels
// running decodes and waits a moment for them to stop; a worker that does not
// stop (a decode stuck outside its progress checks) is left behind, holding
// the state it uses, and never delays the program's end. A wake-up not yet
// delivered goes with the pipeline, so no signal comes after it is gone.
class Pipeline : public QObject {
    Q_OBJECT
public:
    // Decodes one file; called from several threads at once.
    using DecodeFunction = PipelineCore::DecodeFunction;
    using AreaDecodeFunction = PipelineCore::AreaDecodeFunction;

    struct Options {
        int workers = 0; // 0: one per core (or the environment's KALVIO_DECODE_WORKERS)
        // Cache budgets: thumbnails are small and many (about 45 KB each at
        // 120 x 90, four times that on a double-density screen), enlarged
        // pictures large and few (under 1 MB at 533 px, 3.4 MB at twice that).
        qint64 thumbnailBytes = 64LL << 20;
        qint64 viewBytes = 32LL << 20;
        // Full-screen pictures: two fitted to a 3840 x 2160 screen (33 MB
        // each), or one at 1:1 as large as the decoding limits allow. With
        // the budgets above and the decodes' shared one, the process stays
        // under 400 MiB.
        qint64 screenBytes = 96LL << 20;
        DecodeFunction decode = [](const std::string& path, QSize box, Purpose purpose) {
            return Decode(path, box, purpose);
        };
        AreaDecodeFunction decodeArea = [](const std::string& path, QRect area, QSize box) {
            return DecodeArea(path, area, box);
        };
    };

    // How long get() waits for a decode another thread runs: the decode's
    // own processor time ends it first unless the machine is swamped.
    static constexpr std::chrono::milliseconds GetPatience{5000};
    // How long destruction waits for running decodes to stop when cancelled.
    static constexpr std::chrono::milliseconds StopGrace{500};

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

    // The result of request if it is decoded, without asking for it: a
    // picture already at hand that may stand in for another.
    std::optional<Result> cached(const Request& request) const;

    // The result of request, waiting for it without running any events: at
    // once from the cache, or after the worker that decodes it (the one that
    // decodes it now, or one kept for get() alone, ahead of all other work):
    // at most GetPatience, else Failure::TooSlow, not kept. The calling
    // thread never reads the file.
    Result get(const Request& request);

    // At most `count` of the workers decode at once (0: all of them, as at
    // the start), bar the one kept for get(): while the owner's thread has
    // much to do itself, decoding leaves it the cores it needs.
    void setDecodingWorkers(int count);
    // The workers that decode anything (besides the one kept for get()).
    int workerCount() const { return workerCount_; }

    // For tests and benchmarks. How many get() calls found no result ready
    // and made the calling thread wait for a decode.
    quint64 waitedGets() const;
    // Nothing is queued or being decoded: everything asked for, ahead
    // included, has been decoded (or dropped).
    bool isIdle() const;

signals:
    // Something was decoded: a tryGet() that missed may now succeed.
    void resultReady();

private:
    void deliverWake();

    std::shared_ptr<PipelineCore> core_;
    int workerCount_ = 0;
    std::atomic<bool> wakePending_ = false;
    WakeChannel wakeChannel_;          // how workers wake the owner's thread
    std::vector<std::thread> workers_; // started last, once everything above exists
};

} // namespace Pictures
