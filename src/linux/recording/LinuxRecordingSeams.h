#pragma once

#include "platform/RecordingBackend.h"

namespace norla {

// The live implementations of the recorder's seams on Linux, the one list of them: PulseAudio for the
// microphone, the capture and the platform version, a permission and an audio session that Linux does not
// need, libswresample for conversion, FFmpeg for the merge and the mixdown's file.
RecordingBackend makeLinuxRecordingBackend();

// Installs every seam the meeting recorder needs on Linux except the notice presenter, which belongs to
// the application's window, for programs that link the audio libraries (the tools and the tests). Install
// these before the first use of MeetingRecorder::shared(). Inline: the recording module links the list
// above but not the installer.
inline void installLinuxRecordingSeams() { installRecordingBackend(makeLinuxRecordingBackend()); }

} // namespace norla
