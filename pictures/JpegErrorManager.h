#pragma once

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>

namespace Pictures {

// libjpeg's error handling for one decode: an error jumps back to the
// decoder (libjpeg's default would exit the program), nothing is printed,
// and the warnings that matter are remembered: the data ran out, or a marker
// turned up inside the coded data.
struct JpegErrorManager {
    jpeg_error_mgr manager{}; // first, so that libjpeg's pointer is ours too
    std::jmp_buf jump{};

    void install(j_common_ptr cinfo);

    int warnings = 0;
    bool dataEnded = false;    // the file ended before the image did
    bool hitMarker = false;    // the coded data stopped at a marker
    bool limitReached = false; // stopped by the decoder's own work limit
};

} // namespace Pictures
