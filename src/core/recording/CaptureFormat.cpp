#include "recording/CaptureFormat.h"

namespace norla {

const AudioFormat& captureFormat()
{
    static const AudioFormat format { AudioCommonFormat::pcmFloat32, 16000.0, 1, false };
    return format;
}

} // namespace norla
