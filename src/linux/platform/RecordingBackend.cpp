#include "platform/RecordingBackend.h"

#include "platform/PosixFileHandles.h"
#include "platform/PosixSessionClaims.h"
#include "platform/Seams.h"

namespace norla {

void installRecordingBackend(const RecordingBackend& backend)
{
    Seam<RecordPermission>::install(backend.recordPermission);
    Seam<PlatformVersion>::install(backend.platformVersion);
    Seam<AudioSession>::install(backend.audioSession);
    Seam<AudioRecorders>::install(backend.audioRecorders);
    Seam<ScreenCapture>::install(backend.screenCapture);
    Seam<AudioConverters>::install(backend.audioConverters);
    Seam<MediaComposer>::install(backend.mediaComposer);
    Seam<AudioFileWriter>::install(backend.audioFileWriter);
    Seam<FileHandles>::install(std::make_shared<PosixFileHandles>());
    Seam<SessionClaims>::install(std::make_shared<PosixSessionClaims>());
}

} // namespace norla
