#include "DecodedAudio.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numbers>
#include <sstream>
#include <stdexcept>

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

    std::string runCapturingOutput(const std::string& command)
    {
        std::unique_ptr<FILE, PipeCloser> pipe(popen(command.c_str(), "r"));
        if (!pipe)
            throw std::runtime_error("cannot run " + command);
        std::string output;
        std::array<char, 65536> chunk;
        while (auto count = std::fread(chunk.data(), 1, chunk.size(), pipe.get()))
            output.append(chunk.data(), count);
        return output;
    }

} // namespace

std::optional<AudioFileFacts> probeAudioFile(const std::filesystem::path& file)
{
    auto output = runCapturingOutput("ffprobe -v error -select_streams a:0 -show_entries "
                                     "stream=codec_name,profile,sample_rate,channels:format=format_name,duration:"
                                     "format_tags=major_brand -of default=noprint_wrappers=1 "
        + quoted(file));
    AudioFileFacts facts;
    std::istringstream lines(output);
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
            facts.sampleRate = std::stoi(value);
        } else if (key == "channels") {
            facts.channels = std::stoi(value);
        } else if (key == "format_name") {
            facts.formatName = value;
        } else if (key == "TAG:major_brand") {
            facts.majorBrand = value;
        } else if (key == "duration" && value != "N/A") {
            facts.duration = std::stod(value);
        }
    }
    if (!sawStream)
        return std::nullopt;
    return facts;
}

DecodedStereo decodeStereo(const std::filesystem::path& file)
{
    auto bytes = runCapturingOutput("ffmpeg -nostdin -v error -i " + quoted(file) + " -f f32le -ac 2 -ar 16000 -");
    DecodedStereo decoded;
    auto frames = bytes.size() / (2 * sizeof(float));
    decoded.left.resize(frames);
    decoded.right.resize(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        std::memcpy(&decoded.left[i], bytes.data() + i * 8, 4);
        std::memcpy(&decoded.right[i], bytes.data() + i * 8 + 4, 4);
    }
    return decoded;
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

} // namespace norla::test
