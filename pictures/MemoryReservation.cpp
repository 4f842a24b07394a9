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
    if (!DecodeBudget::Shared().reserve(bytes, DecodeTicket::Current()))
        return Failure::Cancelled;
    bytes_ = bytes;
    return Failure::None;
}

} // namespace Pictures
