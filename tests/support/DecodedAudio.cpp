#include "DecodedAudio.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numbers>
#include <sstream>

namespace norla::test {

namespace {

    struct PipeCloser {
        void operator()(FILE* pipe) const { pclose(pipe); }
    };

    std::string quoted(const std::filesystem::path& file)
    {
        std::string text = "'";
        for (char c : file.string())
            text += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return text + "'";
    }

    // Runs a command and returns its standard output, or nothing when it fails.
    std::optional<std::string> run(const std::string& command)
    {
        std::unique_ptr<FILE, PipeCloser> pipe(popen(command.c_str(), "r"));
        if (!pipe)
            return std::nullopt;
        std::string output;
        std::array<char, 65536> chunk {};
        while (auto count = std::fread(chunk.data(), 1, chunk.size(), pipe.get()))
            output.append(chunk.data(), count);
        if (pclose(pipe.release()) != 0)
            return std::nullopt;
        return output;
    }

    // Interleaved 32-bit float samples split into one vector per channel.
    std::vector<std::vector<float>> deinterleave(const std::string& bytes, int channels)
    {
        auto frames = bytes.size() / (sizeof(float) * static_cast<std::size_t>(channels));
        std::vector<std::vector<float>> samples(static_cast<std::size_t>(channels), std::vector<float>(frames));
        for (std::size_t frame = 0; frame < frames; ++frame) {
            for (int channel = 0; channel < channels; ++channel)
                std::memcpy(&samples[channel][frame], bytes.data() + (frame * channels + channel) * sizeof(float),
                    sizeof(float));
        }
        return samples;
    }

} // namespace

std::optional<AudioFileFacts> probeAudioFile(const std::filesystem::path& file)
{
    auto output = run("ffprobe -v error -select_streams a:0 -show_entries "
                      "stream=codec_name,profile,sample_rate,channels,bit_rate:format=format_name,duration:"
                      "format_tags=major_brand -of default=noprint_wrappers=1 "
        + quoted(file));
    if (!output)
        return std::nullopt;
    AudioFileFacts facts;
    std::istringstream lines(*output);
    bool sawStream = false;
    for (std::string line; std::getline(lines, line);) {
        auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        auto key = line.substr(0, equals);
        auto value = line.substr(equals + 1);
        if (key == "codec_name") {
            facts.codecName = value;
            sawStream = true;
        } else if (key == "profile") {
            facts.profile = value;
        } else if (key == "sample_rate") {
            facts.sampleRate = std::atoi(value.c_str());
        } else if (key == "channels") {
            facts.channels = std::atoi(value.c_str());
        } else if (key == "bit_rate") {
            facts.bitRate = std::atol(value.c_str());
        } else if (key == "format_name") {
            facts.formatName = value;
        } else if (key == "TAG:major_brand") {
            facts.majorBrand = value;
        } else if (key == "duration" && value != "N/A") {
            facts.duration = std::atof(value.c_str());
        }
    }
    if (!sawStream)
        return std::nullopt;
    return facts;
}

std::optional<DecodedAudio> DecodedAudio::decode(const std::filesystem::path& file)
{
    auto facts = probeAudioFile(file);
    if (!facts || facts->channels < 1 || facts->sampleRate < 1)
        return std::nullopt;
    // -xerror: a damaged stream is an error, not silently skipped.
    auto pcm = run("ffmpeg -nostdin -v error -xerror -i " + quoted(file) + " -f f32le -acodec pcm_f32le -");
    if (!pcm)
        return std::nullopt;
    DecodedAudio audio { facts->codecName, facts->formatName, facts->sampleRate, facts->channels, facts->bitRate,
        deinterleave(*pcm, facts->channels) };
    return audio;
}

DecodedStereo decodeStereo(const std::filesystem::path& file)
{
    auto bytes = run("ffmpeg -nostdin -v error -i " + quoted(file) + " -f f32le -ac 2 -ar 16000 -");
    if (!bytes)
        return {};
    auto channels = deinterleave(*bytes, 2);
    return { std::move(channels[0]), std::move(channels[1]) };
}

double rms(std::span<const float> samples)
{
    if (samples.empty())
        return 0;
    double sum = 0;
    for (float sample : samples)
        sum += static_cast<double>(sample) * sample;
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

double toneShare(std::span<const float> samples, double frequency)
{
    if (samples.empty())
        return 0;
    // Goertzel: the power of one frequency bin, compared with the total energy (Parseval).
    double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / 16000.0);
    double previous = 0, beforePrevious = 0, energy = 0;
    for (float sample : samples) {
        double current = sample + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
        energy += static_cast<double>(sample) * sample;
    }
    if (energy == 0)
        return 0;
    double power = previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
    return 2 * power / (static_cast<double>(samples.size()) * energy);
}

double toneAmplitude(
    const std::vector<float>& samples, double frequency, int sampleRate, std::size_t begin, std::size_t end)
{
    end = std::min(end, samples.size());
    if (begin >= end)
        return 0;
    auto coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / sampleRate);
    double previous = 0;
    double beforePrevious = 0;
    for (auto i = begin; i < end; ++i) {
        double current = samples[i] + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    auto power = previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
    return 2 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(end - begin);
}

namespace {
    std::vector<double> windowedAmplitudes(const std::vector<float>& samples, double frequency, int sampleRate)
    {
        std::vector<double> amplitudes;
        auto window = static_cast<std::size_t>(sampleRate / 4);
        for (std::size_t begin = 0; window > 0 && begin + window <= samples.size(); begin += window)
            amplitudes.push_back(toneAmplitude(samples, frequency, sampleRate, begin, begin + window));
        return amplitudes;
    }
} // namespace

double medianToneAmplitude(const std::vector<float>& samples, double frequency, int sampleRate)
{
    auto amplitudes = windowedAmplitudes(samples, frequency, sampleRate);
    if (amplitudes.empty())
        return 0;
    std::nth_element(amplitudes.begin(), amplitudes.begin() + std::ptrdiff_t(amplitudes.size() / 2), amplitudes.end());
    return amplitudes[amplitudes.size() / 2];
}

double largestToneAmplitude(const std::vector<float>& samples, double frequency, int sampleRate)
{
    auto amplitudes = windowedAmplitudes(samples, frequency, sampleRate);
    return amplitudes.empty() ? 0 : *std::max_element(amplitudes.begin(), amplitudes.end());
}

double longestSilence(const std::vector<float>& samples, int sampleRate, float threshold)
{
    std::size_t longest = 0;
    std::size_t current = 0;
    for (auto sample : samples) {
        current = std::fabs(sample) < threshold ? current + 1 : 0;
        longest = std::max(longest, current);
    }
    return sampleRate > 0 ? double(longest) / sampleRate : 0;
}

} // namespace norla::test
