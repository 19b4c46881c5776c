#pragma once

#include "DecodedAudio.h"
#include "recording/MeetingRecorder.h"

namespace norla::test {

// The tones the recording tests play at 16000 Hz: one as the computer's sound, one into the virtual
// microphone, and two more only while a recording is paused, none of which may reach the file.
inline constexpr double systemTone = 440;
inline constexpr double microphoneTone = 1000;
inline constexpr double pausedSystemTone = 2000;
inline constexpr double pausedMicrophoneTone = 2500;

// A decoded meeting of a system-audio session: the system tone on the left and the microphone tone on the
// right throughout, neither in the other's channel, and no paused tone anywhere.
void expectSystemLeftMicrophoneRight(const DecodedAudio& audio);

// Whether the recorder's capture has its timeline's origin: from then on every moment is in the file.
bool captureHasAudio(MeetingRecorder& recorder);

} // namespace norla::test
