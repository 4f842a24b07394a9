#include "GuardedDevice.h"

#include "DecodeGuard.h"

namespace Pictures {

GuardedDevice::GuardedDevice(QIODevice& inner) : inner_(inner)
{
    open(QIODevice::ReadOnly);
    inner_.seek(0);
}

bool GuardedDevice::seek(qint64 position)
{
    return QIODevice::seek(position) && inner_.seek(position);
}

qint64 GuardedDevice::readData(char* data, qint64 maxSize)
{
    if (stopped_ == Failure::None)
        stopped_ = DecodeGuard::Check();
    if (stopped_ != Failure::None)
        return -1;
    return inner_.read(data, maxSize);
}

} // namespace Pictures
