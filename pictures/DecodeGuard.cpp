#include "DecodeGuard.h"

#include "DecodeTicket.h"

#include <ctime>

namespace Pictures {
namespace {

thread_local DecodeGuard* current = nullptr;

} // namespace

DecodeGuard::DecodeGuard(std::chrono::milliseconds cpuTime) : deadline_(threadCpuTime() + cpuTime), previous_(current)
{
    current = this;
}

DecodeGuard::~DecodeGuard()
{
    current = previous_;
}

std::chrono::nanoseconds DecodeGuard::threadCpuTime()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

Failure DecodeGuard::Check()
{
    if (DecodeTicket::Current().cancelled())
        return Failure::Cancelled;
    if (!current)
        return Failure::None;
    return threadCpuTime() > current->deadline_ ? Failure::TooSlow : Failure::None;
}

} // namespace Pictures
