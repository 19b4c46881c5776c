#pragma once

#include <filesystem>
#include <optional>

namespace norla {

// What FFmpeg can tell about an encoded audio file without decoding it.
class FfmpegAudioProbe {
public:
    // The file's duration in seconds, or nothing when it cannot be opened or does not say.
    static std::optional<double> duration(const std::filesystem::path& file);
};

} // namespace norla
