#pragma once

namespace norla {

// Sample formats the system's audio passes through.
enum class AudioCommonFormat {
    pcmFloat32,
};

// The shape of PCM audio: sample format, rate, channels and layout.
struct AudioFormat {
    AudioCommonFormat commonFormat = AudioCommonFormat::pcmFloat32;
    double sampleRate = 0;
    int channelCount = 0;
    bool interleaved = false;

    bool operator==(const AudioFormat&) const = default;
};

} // namespace norla
