#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace norla::test {

// An encoded file as FFmpeg's own command-line tools read it back, at its own rate and channels: what
// ffprobe says of its first audio stream and container, and the decoded samples, one vector per channel.
// A test's independent check of what the product wrote: the one decoder every test of encoded audio uses.
struct DecodedAudio {
    std::string codec; // "aac"
    std::string majorBrand; // "M4A " for the m4a muxer
    int sampleRate = 0;
    int channels = 0;
    long bitRate = 0;
    std::vector<std::vector<float>> samples; // per channel

    double duration() const { return sampleRate > 0 && !samples.empty() ? double(samples[0].size()) / sampleRate : 0; }

    // Nothing when ffprobe or ffmpeg cannot read the file or the decoding reports an error.
    static std::optional<DecodedAudio> decode(const std::filesystem::path& file);
};

// A microphone segment as the recorder leaves one (mono AAC at 16000 Hz and 32000 bit/s), encoded by
// ffmpeg's command-line tool from `samples` at 16000 Hz. False when ffmpeg fails.
bool writeSegment(const std::filesystem::path& file, const std::vector<float>& samples);

// The amplitude of a sine of `frequency` in samples [begin, end) (a Goertzel filter): about the tone's
// amplitude when it is there, near 0 when it is not.
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
