#include "LargeImage.h"

#include <cstdlib>
#include <sys/mman.h>

namespace Pictures {
namespace {

constexpr qsizetype HugePage = qsizetype(2) << 20;
// Below this, malloc's own heap serves the image from memory it already has.
constexpr qsizetype SmallestLarge = qsizetype(4) << 20;

void freePixels(void* pixels)
{
    std::free(pixels);
}

} // namespace

QImage NewLargeImage(int width, int height, QImage::Format format)
{
    if (width <= 0 || height <= 0 || format == QImage::Format_Invalid)
        return {};
    // Rows as QImage lays them out: whole 32-bit words.
    const qsizetype bytesPerLine = (qsizetype(width) * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4;
    const qsizetype bytes = bytesPerLine * height;
    if (bytes < SmallestLarge)
        return QImage(width, height, format);
    const qsizetype rounded = (bytes + HugePage - 1) / HugePage * HugePage;
    void* pixels = std::aligned_alloc(size_t(HugePage), size_t(rounded));
    if (!pixels)
        return {};
    // Only advice: where the kernel has huge pages off, the image works the same.
    ::madvise(pixels, size_t(rounded), MADV_HUGEPAGE);
    return QImage(static_cast<uchar*>(pixels), width, height, bytesPerLine, format, freePixels, pixels);
}

} // namespace Pictures
