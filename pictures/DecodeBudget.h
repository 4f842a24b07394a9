#pragma once

#include "DecodeTicket.h"

#include <QtGlobal>

#include <condition_variable>
#include <mutex>
#include <vector>

namespace Pictures {

// The memory every decode of the process shares, whatever the number of
// workers. A decode reserves what its header says it will need before it
// allocates, and gives it back when it ends. When the rest is too small it
// waits, in line: by its ticket's rank (awaited, drawn now, decoded ahead),
// then by its order within the rank. Only the first in line is served, so a
// large reservation is never overtaken for good by smaller ones behind it.
// A reservation larger than the whole budget waits until it is alone.
class DecodeBudget {
public:
    explicit DecodeBudget(qint64 bytes) : total_(bytes) {}

    // The budget of the process (Limits::SharedMemoryBytes). It lives to the
    // end of the process, so that a decode still running then may use it.
    static DecodeBudget& Shared();

    // Waits for bytes in ticket's place in line; false, with nothing
    // reserved, when the ticket is cancelled meanwhile.
    bool reserve(qint64 bytes, const DecodeTicket& ticket);
    void release(qint64 bytes);
    // Some ticket was cancelled or moved up the line: the line is looked at again.
    void recheck();

    qint64 total() const { return total_; }
    qint64 inUse() const;
    // The most ever reserved at once, for tests and benchmarks.
    qint64 peak() const;

private:
    bool isFirstInLine(const DecodeTicket* ticket) const;

    const qint64 total_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<const DecodeTicket*> waiting_;
    qint64 inUse_ = 0;
    qint64 peak_ = 0;
};

} // namespace Pictures
