#pragma once

namespace norla {

// Installs the recorder's seams on Linux: FFmpeg for the merge, libswresample for conversion, a platform
// that offers both forms of session, and stand-ins for what has no Linux counterpart (the audio session,
// the microphone permission) or is not built yet (PulseAudio capture of the microphone and of system
// audio: those fail with an error that says so). The notice presenter is the application's to install.
void installLinuxRecordingSeams();

} // namespace norla
