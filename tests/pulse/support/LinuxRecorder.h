#pragma once

#include "platform/PlatformVersion.h"
#include "recording/MeetingRecorder.h"

#include <filesystem>
#include <memory>
#include <optional>

namespace norla::test {

// A recorder on the real Linux seams (PulseAudio capture and segment recorder, libswresample, FFmpeg),
// which it installs, recording into `recordingsDirectory`. It differs from the product's only where told:
// which form its sessions take (through `platformVersion`) and, for tests that record across rotations, a
// shorter rotation interval.
std::shared_ptr<MeetingRecorder> makeLinuxRecorder(const std::filesystem::path& recordingsDirectory,
    std::shared_ptr<PlatformVersion> platformVersion = nullptr,
    std::optional<Duration> rotationInterval = std::nullopt);

} // namespace norla::test
