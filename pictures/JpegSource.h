#pragma once

#include "Decode.h"

#include <QByteArrayView>

#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>

#include <vector>

namespace Pictures {

// Where libjpeg reads a JPEG from: a file descriptor, read in chunks with
// read() (never mapped, so a file cut short under us is only an early end),
// or bytes in memory. At the end of the data it hands libjpeg an end-of-image
// marker and the "premature end" warning, as libjpeg's own sources do; a read
// error stops the decode.
//
// Every chunk is asked for through the decode's guard, so that a decode past
// its time or no longer wanted stops there, wherever libjpeg is (reading the
// markers before the frame too, where its progress monitor is never called).
// Until the header has been read, the bytes taken (skipped ones included) are
// bounded as well: the markers before the first scan are small in any real
// file, and a file that fills gigabytes with them (or with a hole) is refused
// after Limits::MaxJpegHeaderBytes.
struct JpegSource {
    jpeg_source_mgr manager{}; // first, so that libjpeg's pointer is ours too

    // Installs the source in cinfo; the source must outlive the decode.
    void readFile(j_decompress_ptr cinfo, int fd);
    void readMemory(j_decompress_ptr cinfo, QByteArrayView bytes);

    bool readFailed() const { return readError; }
    // Why the guard or the header's bound stopped reading, or Failure::None.
    Failure stopped() const { return stop; }
    // The header has been read: from here on only the guard bounds reading.
    void headerRead() { inHeader = false; }
    // Bytes libjpeg has taken so far.
    qint64 consumed() const { return bytesRead - qint64(manager.bytes_in_buffer); }

    int fd = -1;
    QByteArrayView memory;
    std::vector<JOCTET> buffer;
    qint64 bytesRead = 0;
    bool readError = false;
    bool started = false;
    bool inHeader = true;
    Failure stop = Failure::None;
};

} // namespace Pictures
