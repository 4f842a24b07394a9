#pragma once

#include <QtGlobal>

namespace Pictures {

// What the C library keeps of the memory decodes free. glibc's malloc serves
// every thread from one arena (see Pipeline) and keeps freed blocks for
// reuse, which makes the next decode fast; but blocks freed between
// longer-lived ones it can seldom give back, so with several large decodes
// at once (a progressive JPEG holds 36 MB of coefficients for a 12 MP
// thumbnail) the process kept what it had once used: fast paging held
// 228-232 MiB at 8 to 64 workers. After a decode that held
// Limits::LargeDecodeBytes or more, and only while the process is resident
// past Limits::ResidentSoftBound, everything freed is given back
// (malloc_trim), so that what is resident follows what is held. Below the
// bound nothing changes: the first page of a 2-core machine keeps its reuse.
void GiveBackFreedMemory(qint64 decodeReservedBytes);

} // namespace Pictures
