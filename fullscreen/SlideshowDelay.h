#pragma once

#include <QString>

#include <chrono>

// The slideshow's delays the keys and the menu step through, and how a delay
// reads on screen. A delay between two steps (from --delay) goes to the
// nearer step in the direction asked.
class SlideshowDelay {
public:
    static constexpr std::chrono::seconds Steps[] = {
        std::chrono::seconds(1),  std::chrono::seconds(2), std::chrono::seconds(3),  std::chrono::seconds(4),
        std::chrono::seconds(5),  std::chrono::seconds(7), std::chrono::seconds(10), std::chrono::seconds(15),
        std::chrono::seconds(30), std::chrono::seconds(60)};

    // The next step above `delay`; the longest step stays.
    static std::chrono::milliseconds longer(std::chrono::milliseconds delay);
    // The next step below `delay`; the shortest step stays, and a delay
    // shorter still (--delay 0.3) is kept rather than lengthened.
    static std::chrono::milliseconds shorter(std::chrono::milliseconds delay);
    // "4 s", "0,3 s", "2,5 s".
    static QString text(std::chrono::milliseconds delay);
};
