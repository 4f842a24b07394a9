#pragma once

#include "Decode.h"

#include <chrono>

namespace Pictures {

// Bounds one decode on the calling thread in time: made when the decode
// starts, it is asked at every progress check whether the decode may go on.
// The time is the thread's own processor time, so a decode that waits for
// memory or shares a busy core is not cut short for it.
class DecodeGuard {
public:
    explicit DecodeGuard(std::chrono::milliseconds cpuTime);
    ~DecodeGuard();
    DecodeGuard(const DecodeGuard&) = delete;
    DecodeGuard& operator=(const DecodeGuard&) = delete;

    // Failure::Cancelled when the calling thread's decode is no longer
    // wanted, TooSlow when it has used up its time, else None (a thread
    // without a guard has no time limit).
    static Failure Check();

private:
    static std::chrono::nanoseconds threadCpuTime();

    std::chrono::nanoseconds deadline_;
    DecodeGuard* previous_;
};

} // namespace Pictures
