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
    long bitRate = 0;
    double duration = 0;
};
// Nothing when ffprobe cannot read the file or finds no audio stream.
std::optional<AudioFileFacts> probeAudioFile(const std::filesystem::path& file);

// An encoded file as FFmpeg's own command-line tools read it back, at its own rate and channels: what
// ffprobe says of its stream and the decoded samples, one vector per channel. A test's independent check
// of what the product wrote.
struct DecodedAudio {
    std::string codec;
    std::string container;
    int sampleRate = 0;
    int channels = 0;
    long bitRate = 0;
    std::vector<std::vector<float>> samples; // per channel

    double duration() const { return sampleRate > 0 && !samples.empty() ? double(samples[0].size()) / sampleRate : 0; }

    // Nothing when ffprobe or ffmpeg cannot read the file or the decoding reports an error.
    static std::optional<DecodedAudio> decode(const std::filesystem::path& file);
};

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

// The amplitude of a sine of `frequency` in `samples` (a Goertzel filter over the whole range): about the
// tone's amplitude when it is there, near 0 when it is not.
double toneAmplitude(const std::vector<float>& samples, double frequency, int sampleRate, std::size_t begin = 0,
    std::size_t end = std::string::npos);

// The tone's amplitude in consecutive quarter seconds: the median (is the tone there throughout?) and the
// largest (is it anywhere?). Unlike one filter over everything, a jump of the tone's phase, as where a pause
// was cut out, does not weaken it.
double medianToneAmplitude(const std::vector<float>& samples, double frequency, int sampleRate);
double largestToneAmplitude(const std::vector<float>& samples, double frequency, int sampleRate);

// The longest run of samples whose magnitude stays below `threshold`, in seconds.
double longestSilence(const std::vector<float>& samples, int sampleRate, float threshold = 0.01f);

} // namespace norla::test
