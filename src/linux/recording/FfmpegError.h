#pragma once

#include "platform/Error.h"

namespace norla {

// An FFmpeg error code as a platform error with FFmpeg's own text (av_strerror).
Error ffmpegError(int code);

} // namespace norla
