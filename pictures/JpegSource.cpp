#include "JpegSource.h"

#include "DecodeGuard.h"
#include "DecodeLimits.h"
#include "RegularFile.h"

#include <jerror.h>
#include <unistd.h>

namespace Pictures {
namespace {

JpegSource& sourceOf(j_decompress_ptr cinfo)
{
    return *reinterpret_cast<JpegSource*>(cinfo->src);
}

void startSource(j_decompress_ptr) {}
void endSource(j_decompress_ptr) {}

// The end of the data: a fake end-of-image marker, so that libjpeg winds up
// with what it has, and the warning that tells the decoder the rest is missing.
boolean endOfData(j_decompress_ptr cinfo)
{
    static const JOCTET endOfImage[2] = {0xFF, JPEG_EOI};
    JpegSource& source = sourceOf(cinfo);
    if (!source.started)
        ERREXIT(cinfo, JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    source.manager.next_input_byte = endOfImage;
    source.manager.bytes_in_buffer = 2;
    return TRUE;
}

// Ends the decode (through libjpeg's error exit) when its guard says so, or
// when the header has taken more bytes than any real one.
void stopIfNeeded(j_decompress_ptr cinfo)
{
    JpegSource& source = sourceOf(cinfo);
    source.stop = DecodeGuard::Check();
    if (source.stop == Failure::None && source.inHeader && source.bytesRead > Limits::MaxJpegHeaderBytes)
        source.stop = Failure::Damaged;
    if (source.stop != Failure::None)
        ERREXIT(cinfo, JERR_INPUT_EOF);
}

boolean fillFromFile(j_decompress_ptr cinfo)
{
    JpegSource& source = sourceOf(cinfo);
    stopIfNeeded(cinfo);
    const ssize_t got = RegularFile::readSome(source.fd, source.buffer.data(), source.buffer.size());
    if (got < 0) {
        source.readError = true;
        ERREXIT(cinfo, JERR_FILE_READ);
    }
    if (got == 0)
        return endOfData(cinfo);
    source.started = true;
    source.bytesRead += got;
    source.manager.next_input_byte = source.buffer.data();
    source.manager.bytes_in_buffer = size_t(got);
    return TRUE;
}

// All of the memory was handed over at the start: asked for more, it has ended.
boolean fillFromMemory(j_decompress_ptr cinfo)
{
    return endOfData(cinfo);
}

void skipData(j_decompress_ptr cinfo, long count)
{
    JpegSource& source = sourceOf(cinfo);
    if (count <= 0)
        return;
    if (size_t(count) <= source.manager.bytes_in_buffer) {
        source.manager.next_input_byte += count;
        source.manager.bytes_in_buffer -= size_t(count);
        return;
    }
    count -= long(source.manager.bytes_in_buffer);
    source.manager.bytes_in_buffer = 0;
    stopIfNeeded(cinfo);
    // Skipped bytes of a file are not read at all; past its end, the next
    // read finds the end. Memory has nothing left to skip into.
    if (source.fd >= 0 && ::lseek(source.fd, count, SEEK_CUR) >= 0) {
        source.bytesRead += count;
        return;
    }
    endOfData(cinfo);
}

void install(JpegSource& source, j_decompress_ptr cinfo)
{
    source.manager.init_source = startSource;
    source.manager.skip_input_data = skipData;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = endSource;
    cinfo->src = &source.manager;
}

} // namespace

void JpegSource::readFile(j_decompress_ptr cinfo, int descriptor)
{
    fd = descriptor;
    buffer.resize(size_t(Limits::ReadChunkBytes));
    manager.fill_input_buffer = fillFromFile;
    install(*this, cinfo);
}

void JpegSource::readMemory(j_decompress_ptr cinfo, QByteArrayView bytes)
{
    memory = bytes;
    started = !bytes.isEmpty();
    bytesRead = bytes.size();
    manager.next_input_byte = reinterpret_cast<const JOCTET*>(bytes.data());
    manager.bytes_in_buffer = size_t(bytes.size());
    manager.fill_input_buffer = fillFromMemory;
    install(*this, cinfo);
}

} // namespace Pictures
