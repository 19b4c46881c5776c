#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace norla::test {

// What ffprobe reports about an encoded file's first audio stream and its container.
struct AudioFileFacts {
    std::string codecName; // "aac"
    std::string profile; // "LC"
    int sampleRate = 0;
    int channels = 0;
    std::string formatName; // "mov,mp4,m4a,3gp,3g2,mj2"
    std::string majorBrand; // "M4A " for the m4a muxer
    double duration = 0;
};
std::optional<AudioFileFacts> probeAudioFile(const std::filesystem::path& file);

// A file decoded again by ffmpeg to 32-bit float at 16000 Hz, channel by channel.
struct DecodedStereo {
    std::vector<float> left;
    std::vector<float> right;
};
DecodedStereo decodeStereo(const std::filesystem::path& file);

// Root mean square of a stretch of samples (0 for none).
double rms(std::span<const float> samples);
// The share of a stretch's energy that lies at `frequency` Hz (0 … 1), at 16000 samples per second.
double toneShare(std::span<const float> samples, double frequency);

} // namespace norla::test
