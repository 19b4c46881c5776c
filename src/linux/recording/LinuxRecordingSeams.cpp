#include "recording/LinuxRecordingSeams.h"

#include "platform/PulsePlatformVersion.h"
#include "platform/Seams.h"
#include "recording/FfmpegMediaComposer.h"
#include "recording/PulseAudioRecorders.h"
#include "recording/PulseAudioSession.h"
#include "recording/PulseRecordPermission.h"
#include "recording/PulseScreenCapture.h"
#include "recording/SwrAudioConverter.h"

namespace norla {

void installLinuxRecordingSeams()
{
    Seam<RecordPermission>::install(std::make_shared<PulseRecordPermission>());
    Seam<PlatformVersion>::install(std::make_shared<PulsePlatformVersion>());
    Seam<AudioSession>::install(std::make_shared<PulseAudioSession>());
    Seam<AudioRecorders>::install(std::make_shared<PulseAudioRecorders>());
    Seam<ScreenCapture>::install(std::make_shared<PulseScreenCapture>());
    Seam<AudioConverters>::install(std::make_shared<SwrAudioConverters>());
    Seam<MediaComposer>::install(std::make_shared<FfmpegMediaComposer>());
}

} // namespace norla
