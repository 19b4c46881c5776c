#include "FakeAudioConverters.h"

#include <algorithm>
#include <cmath>

namespace norla::test {

class FakeAudioConverter final : public AudioConverter {
public:
    FakeAudioConverter(FakeAudioConverters& owner, AudioFormat from, AudioFormat to)
        : m_owner(owner)
        , m_from(from)
        , m_to(to)
    {
    }
    Result<AudioConverterOutputStatus> convert(AudioPcmBuffer& output, const AudioConverterInputBlock& input) override
    {
        if (m_owner.m_failConversions)
            return Error::platform("The conversion failed.");
        std::uint32_t written = 0;
        for (;;) {
            auto status = AudioConverterInputStatus::noDataNow;
            auto buffer = input(status);
            if (status != AudioConverterInputStatus::haveData || !buffer)
                break;
            auto in = buffer->floatChannelData(0);
            auto ratio = m_from.sampleRate / m_to.sampleRate;
            auto frames = static_cast<std::uint32_t>(std::floor(buffer->frameLength() / ratio));
            auto out = output.floatChannelData(0);
            for (std::uint32_t i = 0; i < frames && written < output.frameCapacity(); ++i)
                out[written++] = in[static_cast<std::size_t>(i * ratio)];
        }
        output.setFrameLength(written);
        return written ? AudioConverterOutputStatus::haveData : AudioConverterOutputStatus::inputRanDry;
    }

private:
    FakeAudioConverters& m_owner;
    AudioFormat m_from;
    AudioFormat m_to;
};

std::unique_ptr<AudioConverter> FakeAudioConverters::makeConverter(const AudioFormat& from, const AudioFormat& to)
{
    std::lock_guard lock(m_mutex);
    if (m_refusedRate == from.sampleRate)
        return nullptr;
    m_madeFrom.push_back(from);
    return std::make_unique<FakeAudioConverter>(*this, from, to);
}

void FakeAudioConverters::refuseSampleRate(std::optional<double> rate)
{
    std::lock_guard lock(m_mutex);
    m_refusedRate = rate;
}

std::vector<AudioFormat> FakeAudioConverters::madeFrom() const
{
    std::lock_guard lock(m_mutex);
    return m_madeFrom;
}

} // namespace norla::test
