#include "recording/AVAudioFormats.h"

#include <algorithm>
#include <cstring>

namespace norla {

NSDictionary<NSString*, id>* toSettingsDictionary(const AudioFileSettings& settings)
{
    NSMutableDictionary<NSString*, id>* dictionary = [NSMutableDictionary dictionary];
    dictionary[AVFormatIDKey] = [NSNumber numberWithLongLong:settings.formatId];
    dictionary[AVSampleRateKey] = [NSNumber numberWithDouble:settings.sampleRate];
    dictionary[AVNumberOfChannelsKey] = [NSNumber numberWithInteger:settings.numberOfChannels];
    if (settings.encoderBitRate > 0)
        dictionary[AVEncoderBitRateKey] = [NSNumber numberWithInteger:settings.encoderBitRate];
    return dictionary;
}

AVAudioFormat* _Nullable toAVAudioFormat(const AudioFormat& format)
{
    return [[AVAudioFormat alloc] initWithCommonFormat:AVAudioPCMFormatFloat32
                                            sampleRate:format.sampleRate
                                              channels:static_cast<AVAudioChannelCount>(format.channelCount)
                                           interleaved:format.interleaved ? YES : NO];
}

AVAudioPCMBuffer* _Nullable toAVAudioPCMBuffer(const AudioPcmBuffer& buffer, AVAudioFormat* format)
{
    if (static_cast<int>(format.channelCount) != buffer.format().channelCount)
        return nil;
    AVAudioPCMBuffer* copy =
        [[AVAudioPCMBuffer alloc] initWithPCMFormat:format
                                      frameCapacity:std::max<std::uint32_t>(buffer.frameLength(), 1)];
    auto channels = copy.floatChannelData;
    if (!copy || !channels)
        return nil;
    for (int channel = 0; channel < buffer.format().channelCount; ++channel) {
        auto samples = buffer.floatChannelData(channel);
        std::memcpy(channels[channel], samples.data(), buffer.frameLength() * sizeof(float));
    }
    copy.frameLength = buffer.frameLength();
    return copy;
}

void copyFrames(AVAudioPCMBuffer* from, AudioPcmBuffer& into)
{
    auto channels = from.floatChannelData;
    auto frames = std::min<std::uint32_t>(from.frameLength, into.frameCapacity());
    if (!channels || static_cast<int>(from.format.channelCount) != into.format().channelCount) {
        into.setFrameLength(0);
        return;
    }
    for (int channel = 0; channel < into.format().channelCount; ++channel)
        std::memcpy(into.floatChannelData(channel).data(), channels[channel], frames * sizeof(float));
    into.setFrameLength(frames);
}

} // namespace norla
