#include "PictureCache.h"

namespace Pictures {
namespace {

// A rough share for the key's paths, the list node and the index slot.
constexpr qint64 EntryOverhead = 512;

} // namespace

std::optional<Result> PictureCache::find(const RequestKey& key)
{
    const auto found = index_.find(key);
    if (found == index_.end())
        return std::nullopt;
    entries_.splice(entries_.begin(), entries_, found->second);
    return found->second->result;
}

void PictureCache::insert(const RequestKey& key, Result result)
{
    if (const auto found = index_.find(key); found != index_.end()) {
        bytes_ -= found->second->cost;
        entries_.erase(found->second);
        index_.erase(found);
    }
    const qint64 cost = CostOf(result);
    entries_.push_front(Entry{key, std::move(result), cost});
    index_.emplace(key, entries_.begin());
    bytes_ += cost;
    evictToBudget();
}

qint64 PictureCache::CostOf(const Result& result)
{
    const qint64 pixels = result.decoded ? result.decoded.picture->image.sizeInBytes() : 0;
    return pixels + EntryOverhead;
}

void PictureCache::evictToBudget()
{
    while (bytes_ > budget_ && entries_.size() > 1) {
        const Entry& oldest = entries_.back();
        bytes_ -= oldest.cost;
        index_.erase(oldest.key);
        entries_.pop_back();
    }
}

} // namespace Pictures
