#include "recording/AVAudioConverters.h"

#include "foundation/FoundationConversions.h"
#include "recording/AVAudioFormats.h"

namespace norla {

namespace {

    AVAudioConverterInputStatus toPlatform(AudioConverterInputStatus status)
    {
        switch (status) {
        case AudioConverterInputStatus::haveData:
            return AVAudioConverterInputStatus_HaveData;
        case AudioConverterInputStatus::noDataNow:
            return AVAudioConverterInputStatus_NoDataNow;
        case AudioConverterInputStatus::endOfStream:
            return AVAudioConverterInputStatus_EndOfStream;
        }
        return AVAudioConverterInputStatus_NoDataNow;
    }

    class AVAudioConverterAdapter final : public AudioConverter {
    public:
        AVAudioConverterAdapter(AVAudioConverter* converter, AVAudioFormat* from, AVAudioFormat* to)
            : m_converter(converter)
            , m_from(from)
            , m_to(to)
        {
        }

        Result<AudioConverterOutputStatus> convert(
            AudioPcmBuffer& output, const AudioConverterInputBlock& input) override
        {
            AVAudioPCMBuffer* converted = [[AVAudioPCMBuffer alloc] initWithPCMFormat:m_to
                                                                        frameCapacity:output.frameCapacity()];
            if (!converted)
                return Error::platform("The output buffer could not be made.");
            AVAudioFormat* from = m_from;
            const AudioConverterInputBlock* source = &input;
            NSError* error = nil;
            // Each call hands over a fresh copy: the converter may still read the one it got before.
            AVAudioConverterOutputStatus status =
                [m_converter convertToBuffer:converted
                                       error:&error
                          withInputFromBlock:^AVAudioBuffer* _Nullable(
                              AVAudioPacketCount packets, AVAudioConverterInputStatus* outStatus) {
                              auto status = AudioConverterInputStatus::noDataNow;
                              const AudioPcmBuffer* buffer = (*source)(status);
                              *outStatus = toPlatform(status);
                              if (status != AudioConverterInputStatus::haveData || !buffer)
                                  return nil;
                              AVAudioPCMBuffer* copy = toAVAudioPCMBuffer(*buffer, from);
                              if (!copy)
                                  *outStatus = AVAudioConverterInputStatus_NoDataNow;
                              return copy;
                          }];
            switch (status) {
            case AVAudioConverterOutputStatus_HaveData:
                copyFrames(converted, output);
                return AudioConverterOutputStatus::haveData;
            case AVAudioConverterOutputStatus_InputRanDry:
                copyFrames(converted, output);
                return AudioConverterOutputStatus::inputRanDry;
            case AVAudioConverterOutputStatus_EndOfStream:
                copyFrames(converted, output);
                // The next stream starts afresh.
                [m_converter reset];
                return AudioConverterOutputStatus::endOfStream;
            case AVAudioConverterOutputStatus_Error:
                break;
            }
            return toError(error);
        }

    private:
        AVAudioConverter* m_converter;
        AVAudioFormat* m_from;
        AVAudioFormat* m_to;
    };

} // namespace

std::unique_ptr<AudioConverter> AVAudioConverters::makeConverter(const AudioFormat& from, const AudioFormat& to)
{
    AVAudioFormat* input = toAVAudioFormat(from);
    AVAudioFormat* output = toAVAudioFormat(to);
    if (!input || !output)
        return nullptr;
    AVAudioConverter* converter = [[AVAudioConverter alloc] initFromFormat:input toFormat:output];
    if (!converter)
        return nullptr;
    return std::make_unique<AVAudioConverterAdapter>(converter, input, output);
}

} // namespace norla
