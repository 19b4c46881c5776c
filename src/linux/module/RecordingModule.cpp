// The recording module: the recorder's seams on PulseAudio and FFmpeg, loaded by the application on its
// first recording operation (see LazyRecordingBackend).
#include "platform/PulsePlatformVersion.h"
#include "platform/RecordingBackend.h"
#include "platform/Seams.h"
#include "recording/FfmpegAudioFileWriter.h"
#include "recording/FfmpegMediaComposer.h"
#include "recording/PulseAudioRecorders.h"
#include "recording/PulseAudioSession.h"
#include "recording/PulseRecordPermission.h"
#include "recording/PulseScreenCapture.h"
#include "recording/SwrAudioConverter.h"

extern "C" __attribute__((visibility("default"))) const norla::RecordingBackend* norla_recording_backend(
    std::shared_ptr<norla::SystemLog> log)
{
    using namespace norla;
    // This copy of the core has seams of its own: the backend's diagnostics go to the application's log.
    Seam<SystemLog>::install(std::move(log));
    static const RecordingBackend backend {
        std::make_shared<PulseRecordPermission>(),
        std::make_shared<PulsePlatformVersion>(),
        std::make_shared<PulseAudioSession>(),
        std::make_shared<PulseAudioRecorders>(),
        std::make_shared<PulseScreenCapture>(),
        std::make_shared<SwrAudioConverters>(),
        std::make_shared<FfmpegMediaComposer>(),
        std::make_shared<FfmpegAudioFileWriter>(),
    };
    return &backend;
}
