#pragma once

#include <QImage>

namespace Pictures {

// A new image of `width` x `height` in `format`, its pixels not yet written.
// One of several megabytes is placed on transparent huge pages: the kernel
// then maps it in 2 MiB steps instead of 4 KiB ones, and a full-size decode
// of a 24 MP photograph spends a few milliseconds instead of a few hundred
// taking its 96 MB of fresh memory (most of the time it took on a virtual
// machine, more than the decoding itself). Smaller ones are plain QImages.
QImage NewLargeImage(int width, int height, QImage::Format format);

} // namespace Pictures
