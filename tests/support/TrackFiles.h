#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace norla::test {

// Raw track files and test signals for the recording tests.
void writeSamples(const std::filesystem::path& file, std::span<const float> samples);
std::vector<float> readSamples(const std::filesystem::path& file);
void writeBytes(const std::filesystem::path& file, const std::string& bytes);
std::string readBytes(const std::filesystem::path& file);
// `count` samples of a sine at `frequency` Hz and peak `amplitude`, at 16000 samples per second.
std::vector<float> tone(double frequency, float amplitude, std::size_t count);

} // namespace norla::test
