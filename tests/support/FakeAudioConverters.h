#pragma once

#include "platform/AudioConverter.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

namespace norla::test {

// Converters that resample channel 0 by picking the nearest input frame, so that tests know exactly which
// samples come out. Records every converter it makes; can refuse a sample rate or fail conversions.
class FakeAudioConverters final : public AudioConverters {
public:
    std::unique_ptr<AudioConverter> makeConverter(const AudioFormat& from, const AudioFormat& to) override;

    void refuseSampleRate(std::optional<double> rate);
    void failConversions(bool fail) { m_failConversions = fail; }
    std::vector<AudioFormat> madeFrom() const;

private:
    mutable std::mutex m_mutex;
    std::optional<double> m_refusedRate;
    std::vector<AudioFormat> m_madeFrom;
    std::atomic<bool> m_failConversions { false };
    friend class FakeAudioConverter;
};

} // namespace norla::test
