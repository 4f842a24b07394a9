#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

// The order the slideshow shows the entries in: from the one it starts at
// onwards in the list's order, or in random order, every entry once a round.
// At the end of a round it stops or, looping, starts the next round (the
// first entry again, or a new shuffle). Entries are list indexes 0..count-1.
class SlideshowOrder {
public:
    // A fixed seed gives the same shuffles, for the tests.
    explicit SlideshowOrder(std::uint32_t seed = std::random_device{}());

    bool loops() const { return loop_; }
    void setLoop(bool loop) { loop_ = loop; }
    bool isRandom() const { return random_; }
    // Random order starts a new round at the entry shown when next asked.
    void setRandom(bool random);

    // A round starting at `entry` of `count` entries.
    void start(int entry, int count);
    // The entry to show after `entry` and moves on to it; nothing where the
    // slideshow ends. In the list's order it goes on from `entry` whatever
    // was shown before (the user may have stepped); in random order from its
    // place in the round.
    std::optional<int> advance(int entry, int count);
    // What advance() would give, without moving on (for decoding ahead);
    // nothing too where a random round ends, as the next is not shuffled yet.
    std::optional<int> peek(int entry, int count) const;

private:
    void shuffle(int first, int count);

    bool loop_ = false;
    bool random_ = false;
    std::mt19937 generator_;
    // Random order: this round's entries, and where in it the slideshow is.
    std::vector<int> round_;
    std::size_t place_ = 0;
};
