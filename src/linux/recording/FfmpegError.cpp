#include "recording/FfmpegError.h"

extern "C" {
#include <libavutil/error.h>
}

namespace norla {

Error ffmpegError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return Error::platform(text, code);
}

} // namespace norla
