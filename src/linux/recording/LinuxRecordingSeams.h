#pragma once

namespace norla {

// Installs every seam the meeting recorder needs on Linux except the notice presenter, which belongs to
// the application's window: PulseAudio for the microphone, the capture and the platform version, a
// permission and an audio session that Linux does not need, libswresample for conversion, FFmpeg for the
// merge, and file locks for the claims that keep other processes out of a session. Install these before the first use
// of MeetingRecorder::shared().
void installLinuxRecordingSeams();

} // namespace norla
