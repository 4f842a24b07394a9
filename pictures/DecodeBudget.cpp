#include "DecodeBudget.h"

#include "DecodeLimits.h"

#include <algorithm>

namespace Pictures {

DecodeBudget& DecodeBudget::Shared()
{
    // Never destroyed: a worker the program could not stop may still hold some.
    static DecodeBudget* const shared = new DecodeBudget(Limits::SharedMemoryBytes);
    return *shared;
}

bool DecodeBudget::isFirstInLine(const DecodeTicket* ticket) const
{
    const auto before = [](const DecodeTicket* a, const DecodeTicket* b) {
        return a->rank() != b->rank() ? a->rank() < b->rank() : a->order() < b->order();
    };
    return std::none_of(waiting_.begin(), waiting_.end(), [&](const DecodeTicket* other) {
        return other != ticket && !other->cancelled() && before(other, ticket);
    });
}

bool DecodeBudget::reserve(qint64 bytes, const DecodeTicket& ticket)
{
    bytes = std::clamp<qint64>(bytes, 0, total_);
    std::unique_lock lock(mutex_);
    waiting_.push_back(&ticket);
    changed_.wait(lock, [&] { return ticket.cancelled() || (isFirstInLine(&ticket) && inUse_ + bytes <= total_); });
    std::erase(waiting_, &ticket);
    const bool granted = !ticket.cancelled();
    if (granted) {
        inUse_ += bytes;
        peak_ = std::max(peak_, inUse_);
    }
    lock.unlock();
    // Whoever is next in line may fit as well.
    changed_.notify_all();
    return granted;
}

void DecodeBudget::release(qint64 bytes)
{
    {
        const std::lock_guard lock(mutex_);
        inUse_ -= std::clamp<qint64>(bytes, 0, total_);
    }
    changed_.notify_all();
}

void DecodeBudget::recheck()
{
    {
        const std::lock_guard lock(mutex_); // no waiter misses the change between its check and its wait
    }
    changed_.notify_all();
}

qint64 DecodeBudget::inUse() const
{
    const std::lock_guard lock(mutex_);
    return inUse_;
}

qint64 DecodeBudget::peak() const
{
    const std::lock_guard lock(mutex_);
    return peak_;
}

} // namespace Pictures
