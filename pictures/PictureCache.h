#pragma once

#include "Request.h"
#include "RequestKey.h"

#include <QtGlobal>

#include <list>
#include <optional>
#include <unordered_map>

namespace Pictures {

// Results of decoded requests, failures included, bounded in bytes: the least
// recently used go first when a new one does not fit. The newest result always
// stays, so one that alone is larger than the whole budget is kept until the
// next one comes (its pixels are usually still held by whoever asked anyway).
// Not thread-safe: its owner locks around it.
class PictureCache {
public:
    explicit PictureCache(qint64 budgetBytes) : budget_(budgetBytes) {}

    // The result kept for key, now the most recently used; nothing if none.
    std::optional<Result> find(const RequestKey& key);
    bool contains(const RequestKey& key) const { return index_.contains(key); }

    // Keeps result under key (replacing what was there) as the most recently
    // used, then evicts the least recently used until the rest fits.
    void insert(const RequestKey& key, Result result);

    qint64 bytes() const { return bytes_; }
    qint64 budget() const { return budget_; }

    // What a result counts against the budget: its pixels and a share for
    // the key and the bookkeeping, so that failures count too.
    static qint64 CostOf(const Result& result);

private:
    struct Entry {
        RequestKey key;
        Result result;
        qint64 cost = 0;
    };
    using Entries = std::list<Entry>;

    void evictToBudget();

    Entries entries_; // most recently used first
    std::unordered_map<RequestKey, Entries::iterator, RequestKey::Hash> index_;
    qint64 budget_ = 0;
    qint64 bytes_ = 0;
};

} // namespace Pictures
