#pragma once

#include "platform/MediaComposition.h"
#include "platform/PlatformVersion.h"

#include <filesystem>
#include <memory>
#include <optional>

// What norla-rec takes from the platform it runs on: FFmpeg, GLib and POSIX on Linux
// (RecPlatformLinux.cpp), AVFoundation and Foundation on macOS (RecPlatformApple.mm).
namespace norla::RecPlatform {

// Files, the claims on session directories, the AAC writer, the data directory and UUIDs.
void installLiveSeams();
// The duration of an encoded file in seconds; nothing when it cannot be read.
std::optional<double> probeDuration(const std::filesystem::path& file);
// What merges segments into one file.
std::shared_ptr<MediaComposer> makeMediaComposer();
// The version the finishing recorder sees: it records nothing, so both forms of session can be finished.
std::shared_ptr<PlatformVersion> makePlatformVersion();

} // namespace norla::RecPlatform
