#pragma once

namespace norla {

// Installs every seam the meeting recorder needs on Linux except the notice presenter, which belongs to
// the application's window: PulseAudio for the microphone, the capture and the platform version, a
// permission and an audio session that Linux does not need, libswresample for conversion, FFmpeg for the
// merge. The file handles and the claims on session directories are the composition root's, as they need
// no audio library. Install these before the first use of MeetingRecorder::shared().
void installLinuxRecordingSeams();

} // namespace norla
