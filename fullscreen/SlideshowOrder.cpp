#include "SlideshowOrder.h"

#include <algorithm>
#include <numeric>

SlideshowOrder::SlideshowOrder(std::uint32_t seed) : generator_(seed) {}

void SlideshowOrder::setRandom(bool random)
{
    random_ = random;
    round_.clear();
}

void SlideshowOrder::start(int entry, int count)
{
    round_.clear();
    place_ = 0;
    if (random_ && count > 0)
        shuffle(std::clamp(entry, 0, count - 1), count);
}

// All entries in random order, `first` at the front: the round starts with
// the picture on screen and shows every other one once.
void SlideshowOrder::shuffle(int first, int count)
{
    round_.resize(std::size_t(count));
    std::iota(round_.begin(), round_.end(), 0);
    std::shuffle(round_.begin(), round_.end(), generator_);
    std::iter_swap(round_.begin(), std::find(round_.begin(), round_.end(), first));
}

std::optional<int> SlideshowOrder::advance(int entry, int count)
{
    if (count <= 0)
        return std::nullopt;
    if (!random_)
        return peek(entry, count);
    // A round of another listing, or none yet: one starts here.
    if (round_.size() != std::size_t(count))
        start(entry, count);
    if (place_ + 1 < round_.size())
        return round_[++place_];
    if (!loop_)
        return std::nullopt;
    // The next round, which does not start with the picture just shown
    // (unless it is the only one).
    const int last = round_.back();
    std::shuffle(round_.begin(), round_.end(), generator_);
    if (count > 1 && round_.front() == last)
        std::iter_swap(round_.begin(), round_.begin() + 1 + std::ptrdiff_t(generator_() % std::uint32_t(count - 1)));
    place_ = 0;
    return round_.front();
}

std::optional<int> SlideshowOrder::peek(int entry, int count) const
{
    if (count <= 0)
        return std::nullopt;
    if (random_) {
        if (round_.size() != std::size_t(count) || place_ + 1 >= round_.size())
            return std::nullopt;
        return round_[place_ + 1];
    }
    if (entry + 1 < count)
        return std::max(entry + 1, 0);
    if (loop_)
        return 0;
    return std::nullopt;
}
