#pragma once

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace norla::test {

// Raw track files and test signals for the recording tests.
// Also makes the directories on the way.
inline void writeBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::filesystem::create_directories(file.parent_path());
    if (!(std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes))
        throw std::runtime_error("cannot write " + file.string());
}

inline std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeSamples(const std::filesystem::path& file, std::span<const float> samples)
{
    writeBytes(file, std::string(reinterpret_cast<const char*>(samples.data()), samples.size_bytes()));
}

inline std::vector<float> readSamples(const std::filesystem::path& file)
{
    auto bytes = readBytes(file);
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::copy_n(bytes.data(), samples.size() * sizeof(float), reinterpret_cast<char*>(samples.data()));
    return samples;
}

// `count` samples of a sine at `frequency` Hz and peak `amplitude`, at 16000 samples per second.
inline std::vector<float> tone(double frequency, float amplitude, std::size_t count)
{
    std::vector<float> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = amplitude
            * static_cast<float>(std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(i) / 16000.0));
    return samples;
}

} // namespace norla::test
