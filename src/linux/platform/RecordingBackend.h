#pragma once

#include "platform/AudioConverter.h"
#include "platform/AudioFileWriter.h"
#include "platform/AudioRecorder.h"
#include "platform/AudioSession.h"
#include "platform/MediaComposition.h"
#include "platform/PlatformVersion.h"
#include "platform/RecordPermission.h"
#include "platform/ScreenCapture.h"
#include "platform/SystemLog.h"

#include <memory>

namespace norla {

// The live implementations of the recorder's seams on Linux (PulseAudio and FFmpeg), as one set: what the
// recording module hands the application when it is loaded on the first recording operation.
struct RecordingBackend {
    std::shared_ptr<RecordPermission> recordPermission;
    std::shared_ptr<PlatformVersion> platformVersion;
    std::shared_ptr<AudioSession> audioSession;
    std::shared_ptr<AudioRecorders> audioRecorders;
    std::shared_ptr<ScreenCapture> screenCapture;
    std::shared_ptr<AudioConverters> audioConverters;
    std::shared_ptr<MediaComposer> mediaComposer;
    std::shared_ptr<AudioFileWriter> audioFileWriter;
};

// Installs the recorder's seams: `backend`'s, and beside them the file handles and the claims on session
// directories, which need no audio library. Every composition root on Linux installs them through here
// (the application with a backend that loads the module, tools and tests with the live one).
void installRecordingBackend(const RecordingBackend& backend);

// The module's one entry point, by this name: the live backend, made on the first call and kept for the
// life of the process. The module has its own copy of the core, so it writes its diagnostics through the
// application's `log`.
using RecordingBackendEntry = const RecordingBackend* (*)(std::shared_ptr<SystemLog> log);
inline constexpr const char* recordingBackendEntryName = "norla_recording_backend";

} // namespace norla
