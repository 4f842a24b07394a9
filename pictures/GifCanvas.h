#pragma once

#include <QSize>

#include <optional>

class QIODevice;

namespace Pictures {

// The size of the image Qt's GIF reader allocates for a GIF's first frame,
// read from the header and the first image descriptor. That is the logical
// screen, unless the screen is implausibly larger than the frame, when the
// frame's own extent is used instead: the reader reports the frame's size,
// but allocates and returns the screen's.
// Reads from the device's start and leaves it there; nothing when the file
// has no frame.
std::optional<QSize> GifCanvas(QIODevice& device);

} // namespace Pictures
