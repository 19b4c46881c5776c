#pragma once

#include "platform/AudioFileWriter.h"
#include "platform/AudioFormat.h"
#include "platform/AudioPcmBuffer.h"

#import <AVFoundation/AVFoundation.h>

NS_ASSUME_NONNULL_BEGIN

namespace norla {

// The settings dictionary of AVAudioRecorder and AVAudioFile.
NSDictionary<NSString*, id>* toSettingsDictionary(const AudioFileSettings& settings);

// The core's PCM format (non-interleaved float); nil for more than two channels, as AVAudioFormat refuses.
AVAudioFormat* _Nullable toAVAudioFormat(const AudioFormat& format);

// A copy of the buffer's valid frames in `format` (whose channel count must match); nil when it cannot be made.
AVAudioPCMBuffer* _Nullable toAVAudioPCMBuffer(const AudioPcmBuffer& buffer, AVAudioFormat* format);

// Copies the platform buffer's valid frames into `into`, as far as its capacity and channels reach.
void copyFrames(AVAudioPCMBuffer* from, AudioPcmBuffer& into);

} // namespace norla

NS_ASSUME_NONNULL_END
