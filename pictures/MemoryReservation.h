#pragma once

#include "Decode.h"

#include <QtGlobal>

namespace Pictures {

// Memory one decode holds in the process's shared budget (DecodeBudget),
// given back when the reservation goes.
class MemoryReservation {
public:
    MemoryReservation() = default;
    ~MemoryReservation();
    MemoryReservation(const MemoryReservation&) = delete;
    MemoryReservation& operator=(const MemoryReservation&) = delete;

    // Gives back what was held, then waits for bytes in the calling thread's
    // decode's place in line. Failure::Cancelled when that decode stops
    // being wanted meanwhile, else None.
    Failure take(qint64 bytes);

private:
    void giveBack();
    qint64 bytes_ = 0;
};

} // namespace Pictures
