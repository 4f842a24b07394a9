#include "JpegErrorManager.h"

#include <jerror.h>

namespace Pictures {
namespace {

JpegErrorManager& errorsOf(j_common_ptr cinfo)
{
    return *reinterpret_cast<JpegErrorManager*>(cinfo->err);
}

[[noreturn]] void jumpBack(j_common_ptr cinfo)
{
    std::longjmp(errorsOf(cinfo).jump, 1);
}

void remember(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return; // trace messages
    JpegErrorManager& errors = errorsOf(cinfo);
    ++errors.warnings;
    ++cinfo->err->num_warnings;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF)
        errors.dataEnded = true;
    else if (cinfo->err->msg_code == JWRN_HIT_MARKER)
        errors.hitMarker = true;
}

void printNothing(j_common_ptr) {}

} // namespace

void JpegErrorManager::install(j_common_ptr cinfo)
{
    jpeg_std_error(&manager);
    manager.error_exit = jumpBack;
    manager.emit_message = remember;
    manager.output_message = printNothing;
    cinfo->err = &manager;
}

} // namespace Pictures
