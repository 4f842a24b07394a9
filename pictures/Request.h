#pragma once

#include "Decode.h"

#include <QRect>

#include <string>
#include <vector>

// What the picture pipeline is asked to decode, and what came of it.
namespace Pictures {

// One picture to decode: the candidate files, tried in order until one gives a
// picture (say the camera's small THM copy, else the picture itself), the
// box in device pixels the picture is fitted into (SquareBox for a longer
// side; empty: the file's own size) and what the picture is for. Paths are
// native names, as Decode takes them.
struct Request {
    std::vector<std::string> candidates;
    QSize box;
    Purpose purpose = Purpose::Thumbnail;
    // For the full screen's zoomed views: only this part of the upright
    // picture (file pixels), fitted into box (DecodeArea). Empty: all of it.
    QRect area{};
};

// The outcome of a request: the picture, or why none could be had, and the
// index of the candidate that gave it (for a failure, the last one tried;
// -1 for a request without candidates).
struct Result {
    Decoded decoded;
    int candidate = -1;
};

} // namespace Pictures
