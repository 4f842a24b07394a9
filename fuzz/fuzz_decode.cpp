// libFuzzer target: any bytes, decoded as a picture file in every way the
// program decodes one. Built by `scripts/build.sh fuzz`; see the README.

#include "DecodeEveryWay.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DecodeEveryWay(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
