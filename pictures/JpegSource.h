#pragma once

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
struct JpegSource {
    jpeg_source_mgr manager{}; // first, so that libjpeg's pointer is ours too

    // Installs the source in cinfo; the source must outlive the decode.
    void readFile(j_decompress_ptr cinfo, int fd);
    void readMemory(j_decompress_ptr cinfo, QByteArrayView bytes);

    bool readFailed() const { return readError; }
    // Bytes libjpeg has taken so far.
    qint64 consumed() const { return bytesRead - qint64(manager.bytes_in_buffer); }

    int fd = -1;
    QByteArrayView memory;
    std::vector<JOCTET> buffer;
    qint64 bytesRead = 0;
    bool readError = false;
    bool started = false;
};

} // namespace Pictures
