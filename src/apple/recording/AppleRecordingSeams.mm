#include "recording/AppleRecordingSeams.h"

#include "foundation/DevicePlatformVersion.h"
#include "foundation/DispatchTaskQueue.h"
#include "foundation/NSFileHandles.h"
#include "platform/Seams.h"
#include "recording/AVAudioConverters.h"
#include "recording/AVAudioFileWriter.h"
#include "recording/AVAudioRecorders.h"
#include "recording/AVAudioSessionAdapter.h"
#include "recording/AVMediaComposer.h"
#include "recording/AVRecordPermission.h"
#include "recording/SCScreenCapture.h"
#include "support/FlockSessionClaims.h"

namespace norla {

void installAppleRecordingSeams()
{
    Seam<TaskQueues>::install(std::make_shared<DispatchTaskQueues>());
    Seam<RecordPermission>::install(std::make_shared<AVRecordPermission>());
    Seam<PlatformVersion>::install(std::make_shared<DevicePlatformVersion>());
    Seam<AudioSession>::install(std::make_shared<AVAudioSessionAdapter>());
    Seam<AudioRecorders>::install(std::make_shared<AVAudioRecorders>());
    Seam<ScreenCapture>::install(std::make_shared<SCScreenCapture>());
    Seam<AudioConverters>::install(std::make_shared<AVAudioConverters>());
    Seam<MediaComposer>::install(std::make_shared<AVMediaComposer>());
    Seam<FileHandles>::install(std::make_shared<NSFileHandles>());
    Seam<SessionClaims>::install(std::make_shared<FlockSessionClaims>());
    Seam<AudioFileWriter>::install(std::make_shared<AVAudioFileWriter>());
}

} // namespace norla
