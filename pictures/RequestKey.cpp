#include "RequestKey.h"

#include <sys/stat.h>

#include <functional>

namespace Pictures {
namespace {

std::int64_t nanoseconds(const timespec& time)
{
    return std::int64_t(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

// Mixes value into seed, as boost::hash_combine does.
void combine(std::size_t& seed, std::size_t value)
{
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

} // namespace

RequestKey RequestKey::Of(const Request& request)
{
    RequestKey key;
    key.box_ = request.box;
    key.area_ = request.area;
    key.purpose_ = request.purpose;
    key.stamps_.reserve(request.candidates.size());
    for (const std::string& path : request.candidates) {
        Stamp stamp{.path = path};
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0) {
            stamp.regular = S_ISREG(info.st_mode);
            stamp.device = info.st_dev;
            stamp.inode = info.st_ino;
            stamp.size = info.st_size;
            stamp.modifiedNs = nanoseconds(info.st_mtim);
            stamp.changedNs = nanoseconds(info.st_ctim);
        }
        key.stamps_.push_back(std::move(stamp));
    }
    return key;
}

std::size_t RequestKey::Hash::operator()(const RequestKey& key) const
{
    std::size_t seed = std::hash<int>()(key.box_.width());
    combine(seed, std::size_t(key.box_.height()));
    combine(seed, std::size_t(key.purpose_));
    combine(seed, std::size_t(key.area_.x()) ^ (std::size_t(key.area_.y()) << 20));
    for (const Stamp& stamp : key.stamps_) {
        combine(seed, std::hash<std::string>()(stamp.path));
        combine(seed, std::size_t(stamp.size));
        combine(seed, std::size_t(stamp.modifiedNs));
    }
    return seed;
}

} // namespace Pictures
