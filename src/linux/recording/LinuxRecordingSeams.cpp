#include "recording/LinuxRecordingSeams.h"

#include "platform/PulsePlatformVersion.h"
#include "recording/FfmpegAudioFileWriter.h"
#include "recording/FfmpegMediaComposer.h"
#include "recording/PulseAudioRecorders.h"
#include "recording/PulseAudioSession.h"
#include "recording/PulseRecordPermission.h"
#include "recording/PulseScreenCapture.h"
#include "recording/SwrAudioConverter.h"

namespace norla {

RecordingBackend makeLinuxRecordingBackend()
{
    return {
        std::make_shared<PulseRecordPermission>(),
        std::make_shared<PulsePlatformVersion>(),
        std::make_shared<PulseAudioSession>(),
        std::make_shared<PulseAudioRecorders>(),
        std::make_shared<PulseScreenCapture>(),
        std::make_shared<SwrAudioConverters>(),
        std::make_shared<FfmpegMediaComposer>(),
        std::make_shared<FfmpegAudioFileWriter>(),
    };
}

} // namespace norla
