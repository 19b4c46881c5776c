#pragma once

#include "platform/AudioFileWriter.h"
#include "platform/AudioFormat.h"
#include "platform/FileHandle.h"
#include "platform/Result.h"

#include <cstdint>
#include <filesystem>

namespace norla {

// The mixed file's format while it is built: float, 16000 Hz, system audio left and microphone right.
inline constexpr AudioFormat mixdownProcessingFormat { AudioCommonFormat::pcmFloat32, 16000.0, 2, false };
// How the mixed file is encoded: stereo AAC at 16000 Hz and 64000 bit/s.
inline constexpr AudioFileSettings mixdownFileSettings { audioFormatMpeg4Aac, 16000.0, 2, 64000 };
// Frames mixed per step (one second); memory stays at one such stereo buffer whatever the length.
inline constexpr std::uint32_t mixdownChunkFrames = 16000;
// Below this peak (after clamping) a recording counts as silent.
inline constexpr float mixdownSilencePeak = 0.0001f;

// Mixes the raw tracks of session directory `dir` into its meeting.m4a and returns that file's path; an
// existing meeting.m4a is returned untouched. Fails with CaptureError::empty when nothing audible was
// recorded, else with the platform's error. The tracks are read and synchronised through `fileHandles`, the
// file written through `writer`. Mixdowns of the whole process run one at a time.
Result<std::filesystem::path> mixdown(
    const std::filesystem::path& dir, FileHandles& fileHandles, AudioFileWriter& writer);

} // namespace norla
