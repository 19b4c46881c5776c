#pragma once

#include "platform/AudioConverter.h"

#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

namespace norla::test {

// Converters that resample channel 0 by picking the nearest input frame, so that tests know exactly which
// samples come out. Records every converter it makes; can refuse a sample rate or fail conversions.
class FakeAudioConverters final : public AudioConverters {
public:
    std::unique_ptr<AudioConverter> makeConverter(const AudioFormat& from, const AudioFormat& to) override
    {
        if (from.sampleRate == m_refusedRate)
            return nullptr;
        std::lock_guard lock(m_mutex);
        m_madeFrom.push_back(from);
        return std::make_unique<Converter>(m_failing, from.sampleRate / to.sampleRate);
    }

    void refuseSampleRate(double rate) { m_refusedRate = rate; }
    void failConversions(bool fail) { *m_failing = fail; }
    std::vector<AudioFormat> madeFrom() const
    {
        std::lock_guard lock(m_mutex);
        return m_madeFrom;
    }

private:
    struct Converter final : AudioConverter {
        Converter(std::shared_ptr<std::atomic<bool>> failing, double ratio)
            : m_failing(std::move(failing))
            , m_ratio(ratio)
        {
        }
        Result<AudioConverterOutputStatus> convert(
            AudioPcmBuffer& output, const AudioConverterInputBlock& input) override
        {
            if (*m_failing)
                return Error::platform("The conversion failed.");
            std::uint32_t written = 0;
            auto status = AudioConverterInputStatus::noDataNow;
            for (auto buffer = input(status); status == AudioConverterInputStatus::haveData && buffer;
                 buffer = input(status)) {
                auto frames = static_cast<std::uint32_t>(std::floor(buffer->frameLength() / m_ratio));
                for (std::uint32_t i = 0; i < frames && written < output.frameCapacity(); ++i)
                    output.floatChannelData(0)[written++]
                        = buffer->floatChannelData(0)[static_cast<std::size_t>(i * m_ratio)];
            }
            output.setFrameLength(written);
            return written ? AudioConverterOutputStatus::haveData : AudioConverterOutputStatus::inputRanDry;
        }
        std::shared_ptr<std::atomic<bool>> m_failing;
        double m_ratio;
    };

    mutable std::mutex m_mutex;
    std::atomic<double> m_refusedRate { 0 };
    std::vector<AudioFormat> m_madeFrom;
    std::shared_ptr<std::atomic<bool>> m_failing = std::make_shared<std::atomic<bool>>(false);
};

} // namespace norla::test
