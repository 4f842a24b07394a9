#pragma once

#include <QSize>

#include <optional>

class QIODevice;

namespace Pictures {

// The size of the image Qt's GIF reader allocates for a GIF's first frame,
// read from the header and the first image descriptor: the logical screen
// (or the frame's extent when the screen has no size). The reader reports
// the frame's size, but allocates and returns the screen's.
// Reads from the device's start and leaves it there; nothing when the file
// has no frame.
std::optional<QSize> GifCanvas(QIODevice& device);

} // namespace Pictures
