#pragma once

#include "platform/NoticePresenter.h"
#include "platform/PlatformVersion.h"
#include "recording/MeetingRecorder.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace norla::test {

// How a test's recorder differs from the product's: where its recordings go, which form its sessions take
// (through the platform version), and, for tests that record across rotations, a shorter rotation interval.
struct LinuxRecorderOptions {
    std::filesystem::path recordingsDirectory;
    std::shared_ptr<PlatformVersion> platformVersion;
    std::shared_ptr<NoticePresenter> noticePresenter;
    std::optional<Duration> rotationInterval;
    // The PulseAudio server the capture records from; empty for the default one.
    std::string captureServer;
    // The PulseAudio server the microphone segments record from; empty for the default one.
    std::string segmentServer;
};

// A recorder on the real Linux seams (PulseAudio capture and segment recorder, libswresample, FFmpeg),
// recording into the options' directory.
std::shared_ptr<MeetingRecorder> makeLinuxRecorder(const LinuxRecorderOptions& options);

} // namespace norla::test
