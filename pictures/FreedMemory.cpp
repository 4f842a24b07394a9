#include "FreedMemory.h"

#include "DecodeLimits.h"

#include <cstdio>
#include <unistd.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace Pictures {
namespace {

// The process's resident memory in bytes, -1 where it cannot be read.
qint64 ResidentBytes()
{
    long pages = 0, resident = -1;
    if (FILE* statm = std::fopen("/proc/self/statm", "re")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = -1;
        std::fclose(statm);
    }
    return resident < 0 ? -1 : qint64(resident) * ::sysconf(_SC_PAGESIZE);
}

} // namespace

void GiveBackFreedMemory(qint64 decodeReservedBytes)
{
#ifdef __GLIBC__
    if (decodeReservedBytes >= Limits::LargeDecodeBytes && ResidentBytes() > Limits::ResidentSoftBound)
        malloc_trim(0);
#else
    Q_UNUSED(decodeReservedBytes);
#endif
}

} // namespace Pictures
