#include "MemoryReservation.h"

#include "DecodeBudget.h"
#include "DecodeTicket.h"

namespace Pictures {

MemoryReservation::~MemoryReservation()
{
    giveBack();
}

void MemoryReservation::giveBack()
{
    if (bytes_ > 0)
        DecodeBudget::Shared().release(bytes_);
    bytes_ = 0;
}

Failure MemoryReservation::take(qint64 bytes)
{
    giveBack();
    DecodeTicket& ticket = DecodeTicket::Current();
    if (!DecodeBudget::Shared().reserve(bytes, ticket))
        return Failure::Cancelled;
    ticket.noteReserved(bytes);
    bytes_ = bytes;
    return Failure::None;
}

} // namespace Pictures
