#pragma once

#include "platform/AudioConverter.h"

#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace norla::test {

// Converters that resample channel 0 by picking the nearest input frame, so that tests know exactly which
// samples come out. Records every converter it makes; can refuse a sample rate or fail conversions.
class FakeAudioConverters final : public AudioConverters {
public:
    std::unique_ptr<AudioConverter> makeConverter(const AudioFormat& from, const AudioFormat& to) override
    {
        std::lock_guard lock(m_mutex);
        if (m_refusedRate == from.sampleRate)
            return nullptr;
        m_madeFrom.push_back(from);
        return std::make_unique<Converter>(m_failConversions, from.sampleRate / to.sampleRate);
    }

    void refuseSampleRate(std::optional<double> rate)
    {
        std::lock_guard lock(m_mutex);
        m_refusedRate = rate;
    }
    void failConversions(bool fail) { *m_failConversions = fail; }
    std::vector<AudioFormat> madeFrom() const
    {
        std::lock_guard lock(m_mutex);
        return m_madeFrom;
    }

private:
    class Converter final : public AudioConverter {
    public:
        Converter(std::shared_ptr<std::atomic<bool>> fails, double ratio)
            : m_fails(std::move(fails))
            , m_ratio(ratio)
        {
        }
        Result<AudioConverterOutputStatus> convert(
            AudioPcmBuffer& output, const AudioConverterInputBlock& input) override
        {
            if (*m_fails)
                return Error::platform("The conversion failed.");
            std::uint32_t written = 0;
            for (;;) {
                auto status = AudioConverterInputStatus::noDataNow;
                auto buffer = input(status);
                if (status != AudioConverterInputStatus::haveData || !buffer)
                    break;
                auto in = buffer->floatChannelData(0);
                auto frames = static_cast<std::uint32_t>(std::floor(buffer->frameLength() / m_ratio));
                auto out = output.floatChannelData(0);
                for (std::uint32_t i = 0; i < frames && written < output.frameCapacity(); ++i)
                    out[written++] = in[static_cast<std::size_t>(i * m_ratio)];
            }
            output.setFrameLength(written);
            return written ? AudioConverterOutputStatus::haveData : AudioConverterOutputStatus::inputRanDry;
        }

    private:
        std::shared_ptr<std::atomic<bool>> m_fails;
        double m_ratio;
    };

    mutable std::mutex m_mutex;
    std::optional<double> m_refusedRate;
    std::vector<AudioFormat> m_madeFrom;
    std::shared_ptr<std::atomic<bool>> m_failConversions = std::make_shared<std::atomic<bool>>(false);
};

} // namespace norla::test
