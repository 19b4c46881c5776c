// The recording module: the recorder's seams on PulseAudio and FFmpeg, loaded by the application on its
// first recording operation (see LazyRecordingBackend).
#include "platform/Seams.h"
#include "recording/LinuxRecordingSeams.h"

extern "C" __attribute__((visibility("default"))) const norla::RecordingBackend* norla_recording_backend(
    std::shared_ptr<norla::SystemLog> log)
{
    using namespace norla;
    // This copy of the core has seams of its own: the backend's diagnostics go to the application's log.
    Seam<SystemLog>::install(std::move(log));
    static const RecordingBackend backend = makeLinuxRecordingBackend();
    return &backend;
}
