#include "DecodedAudio.h"

#include "ShellQuoted.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <numbers>
#include <sstream>

namespace norla::test {

namespace {

    struct PipeCloser {
        void operator()(FILE* pipe) const { pclose(pipe); }
    };

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

    // The tone's amplitude in consecutive quarter seconds, smallest first.
    std::vector<double> sortedQuarterSecondAmplitudes(
        const std::vector<float>& samples, double frequency, int sampleRate)
    {
        std::vector<double> amplitudes;
        auto window = static_cast<std::size_t>(sampleRate / 4);
        for (std::size_t begin = 0; window > 0 && begin + window <= samples.size(); begin += window)
            amplitudes.push_back(toneAmplitude(samples, frequency, sampleRate, begin, begin + window));
        std::sort(amplitudes.begin(), amplitudes.end());
        return amplitudes;
    }

} // namespace

std::optional<DecodedAudio> DecodedAudio::decode(const std::filesystem::path& file)
{
    auto facts = run("ffprobe -v error -select_streams a:0 -show_entries "
                     "stream=codec_name,sample_rate,channels,bit_rate:format_tags=major_brand "
                     "-of default=noprint_wrappers=1 "
        + shellQuoted(file));
    if (!facts)
        return std::nullopt;
    std::map<std::string, std::string> fields;
    std::istringstream lines(*facts);
    for (std::string line; std::getline(lines, line);) {
        if (auto equals = line.find('='); equals != std::string::npos)
            fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    DecodedAudio audio;
    audio.codec = fields["codec_name"];
    audio.majorBrand = fields["TAG:major_brand"];
    audio.sampleRate = std::atoi(fields["sample_rate"].c_str());
    audio.channels = std::atoi(fields["channels"].c_str());
    audio.bitRate = std::atol(fields["bit_rate"].c_str());
    if (audio.codec.empty() || audio.channels < 1 || audio.sampleRate < 1)
        return std::nullopt;
    // -xerror: a damaged stream is an error, not silently skipped.
    auto pcm = run("ffmpeg -nostdin -v error -xerror -i " + shellQuoted(file) + " -f f32le -acodec pcm_f32le -");
    if (!pcm)
        return std::nullopt;
    auto channels = static_cast<std::size_t>(audio.channels);
    auto frames = pcm->size() / (sizeof(float) * channels);
    audio.samples.assign(channels, std::vector<float>(frames));
    for (std::size_t i = 0; i < frames * channels; ++i)
        std::memcpy(&audio.samples[i % channels][i / channels], pcm->data() + i * sizeof(float), sizeof(float));
    return audio;
}

bool writeSegment(const std::filesystem::path& file, const std::vector<float>& samples)
{
    auto command = "ffmpeg -v error -y -f f32le -ar 16000 -ac 1 -i pipe:0 -c:a aac -b:a 32k " + shellQuoted(file);
    std::unique_ptr<FILE, PipeCloser> pipe(popen(command.c_str(), "w"));
    if (!pipe)
        return false;
    bool written = std::fwrite(samples.data(), sizeof(float), samples.size(), pipe.get()) == samples.size();
    return pclose(pipe.release()) == 0 && written;
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

double medianToneAmplitude(const std::vector<float>& samples, double frequency, int sampleRate)
{
    auto amplitudes = sortedQuarterSecondAmplitudes(samples, frequency, sampleRate);
    return amplitudes.empty() ? 0 : amplitudes[amplitudes.size() / 2];
}

double largestToneAmplitude(const std::vector<float>& samples, double frequency, int sampleRate)
{
    auto amplitudes = sortedQuarterSecondAmplitudes(samples, frequency, sampleRate);
    return amplitudes.empty() ? 0 : amplitudes.back();
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
