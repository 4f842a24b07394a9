#pragma once

#include <QtGlobal>

#include <atomic>

namespace Pictures {

// What the pipeline tells a decode it runs: whether it is still wanted, and
// its place in line for memory. Shared between the pipeline, which changes
// it, and the decode, which reads it at its progress checks. A decode run
// outside the pipeline has a ticket of the first rank that is never cancelled.
class DecodeTicket {
public:
    // Ranks, first served first: the owner waits for it without running
    // events, it is drawn now, it is decoded ahead.
    enum Rank : int { Awaited = 0, Now = 1, Ahead = 2 };

    DecodeTicket() = default;
    DecodeTicket(Rank rank, quint64 order) : rank_(rank), order_(order) {}

    bool cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    void setCancelled(bool cancelled) { cancelled_.store(cancelled, std::memory_order_relaxed); }
    int rank() const { return rank_.load(std::memory_order_relaxed); }
    // Moves the ticket up the line (never down).
    void raise(Rank rank);
    // Among tickets of one rank, the lower order goes first.
    quint64 order() const { return order_; }
    // The most memory the decode reserved at once (MemoryReservation).
    qint64 mostReserved() const { return mostReserved_.load(std::memory_order_relaxed); }
    void noteReserved(qint64 bytes);

    // The ticket of the decode on the calling thread.
    static DecodeTicket& Current();

    // Makes ticket the calling thread's for the scope's life.
    class Scope {
    public:
        explicit Scope(DecodeTicket& ticket);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        DecodeTicket* previous_;
    };

private:
    std::atomic<bool> cancelled_ = false;
    std::atomic<int> rank_ = Awaited;
    quint64 order_ = 0;
    std::atomic<qint64> mostReserved_ = 0;
};

} // namespace Pictures
