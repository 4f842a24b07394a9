#pragma once

#include <QtGlobal>

#include <chrono>

// What one decode may cost, whatever the format. Two workers decode at once
// and the window keeps a few finished pictures, so each decode gets a fixed
// share of memory instead of whatever the file claims to need.
namespace Pictures::Limits {

// Transient memory of one decode: every buffer alive at the same time (the
// decoded pixels, a conversion copy, libjpeg's coefficients and rows, the
// scaled result). 128 MiB holds a 24-bit BMP or GIF of 32 megapixels, an
// 8-bit BMP of 25 megapixels, a baseline JPEG of 2 gigapixels (decoded at an
// eighth a side) and a progressive 4:2:0 JPEG of about 40 megapixels (its
// coefficients, about 3 bytes a pixel, are kept for the whole frame).
constexpr qint64 MemoryBytes = 128LL * 1024 * 1024;

// What all decodes of the process hold at once, however many workers run
// them: one decode at the limit above, or three progressive 12-megapixel
// thumbnails (about 37 MB each). With the caches' budgets the process stays
// under 400 MiB.
constexpr qint64 SharedMemoryBytes = MemoryBytes;

// Processor time one decode may take before it ends as too slow. The
// slowest legal files decode in about 0.7 s on a quiet core; an ordinary
// photograph takes a tenth of that. A picture for the full screen may be
// decoded at its full size, which takes longer.
constexpr std::chrono::milliseconds CpuTime{1000};
constexpr std::chrono::milliseconds ScreenCpuTime{4000};

// Past this much resident memory, what a decode of at least LargeDecodeBytes
// freed is given back to the system at its end (FreedMemory.h). Below it the
// C library keeps freed memory for the next decode; the first page of
// progressive photographs on two workers stays under it.
constexpr qint64 ResidentSoftBound = 128LL * 1024 * 1024;
constexpr qint64 LargeDecodeBytes = 8LL * 1024 * 1024;

// libjpeg's own row buffers grow with the frame's width: counted generously
// per column of the full-size frame.
constexpr qint64 JpegBytesPerColumn = 128;

// A progressive JPEG is read scan by scan, each scan a pass over the blocks
// of its components, whether or not the file holds data for them. Encoders
// write at most a few dozen scans (10 for libjpeg's default script, about
// 20 for mozjpeg's searched ones); a file with more is built to burn time,
// and is refused after this many.
constexpr int MaxJpegScans = 64;
// ...and the passes are counted by the blocks they visit. A refinement pass
// costs 40-50 ns a block here, so 16 million visits stay under a second
// with the rest of the decode; the 10 scans of a 40-megapixel progressive
// file visit about 5 million.
constexpr qint64 MaxJpegBlockVisits = 16'000'000;

// A camera's embedded thumbnail is a small JPEG inside the first 64 KB of
// the file (160 x 120 usually, 640 x 480 at most in practice); anything
// larger is not a thumbnail worth decoding.
constexpr qint64 MaxThumbnailPixels = 1024 * 1024;

// ICC profile chunks kept from a JPEG's APP2 markers. Real profiles are a
// few hundred bytes to a few hundred KiB.
constexpr qint64 MaxIccProfileBytes = 4 * 1024 * 1024;

// What a JPEG's markers before its first scan may take, skipped ones
// included: cameras write a few hundred KB there (EXIF with its thumbnail,
// maker notes, XMP), an ICC profile takes up to the bound above, extended
// XMP a few MB more. A file with more is built to make the header cost
// seconds (a hole of gigabytes, or millions of empty comments).
constexpr qint64 MaxJpegHeaderBytes = 16 * 1024 * 1024;

// Bytes read from a file at a time.
constexpr qint64 ReadChunkBytes = 64 * 1024;

} // namespace Pictures::Limits
