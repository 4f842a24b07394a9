#include "DecodeTicket.h"

namespace Pictures {
namespace {

thread_local DecodeTicket* current = nullptr;

} // namespace

void DecodeTicket::raise(Rank rank)
{
    int now = rank_.load(std::memory_order_relaxed);
    while (rank < now && !rank_.compare_exchange_weak(now, rank, std::memory_order_relaxed)) {
    }
}

void DecodeTicket::noteReserved(qint64 bytes)
{
    qint64 most = mostReserved_.load(std::memory_order_relaxed);
    while (bytes > most && !mostReserved_.compare_exchange_weak(most, bytes, std::memory_order_relaxed)) {
    }
}

DecodeTicket& DecodeTicket::Current()
{
    // Outside the pipeline: first in line, never cancelled.
    thread_local DecodeTicket outside;
    return current ? *current : outside;
}

DecodeTicket::Scope::Scope(DecodeTicket& ticket) : previous_(current)
{
    current = &ticket;
}

DecodeTicket::Scope::~Scope()
{
    current = previous_;
}

} // namespace Pictures
