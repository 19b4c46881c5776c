#include "recording/CMSampleBufferAdapter.h"

#include "support/SampleBufferLayout.h"

#import <CoreFoundation/CoreFoundation.h>

#include <memory>
#include <vector>

namespace norla {

namespace {

    std::optional<StreamDescription> streamDescription(CMSampleBufferRef buffer)
    {
        CMFormatDescriptionRef format = CMSampleBufferGetFormatDescription(buffer);
        if (!format)
            return std::nullopt;
        const AudioStreamBasicDescription* asbd = CMAudioFormatDescriptionGetStreamBasicDescription(format);
        if (!asbd)
            return std::nullopt;
        return StreamDescription { asbd->mSampleRate, asbd->mFormatID, asbd->mFormatFlags, asbd->mChannelsPerFrame,
            asbd->mBitsPerChannel };
    }

    // unique_ptr calls its deleter only for a block it holds.
    struct BlockBufferRelease {
        void operator()(CMBlockBufferRef _Nonnull block) const { CFRelease(block); }
    };

} // namespace

bool CMSampleBufferAdapter::isValid() const
{
    return CMSampleBufferIsValid(m_buffer) && CMSampleBufferDataIsReady(m_buffer);
}

std::optional<AudioFormat> CMSampleBufferAdapter::formatDescription() const
{
    auto description = streamDescription(m_buffer);
    return description ? pcmFormat(*description) : std::nullopt;
}

std::size_t CMSampleBufferAdapter::numSamples() const
{
    auto count = CMSampleBufferGetNumSamples(m_buffer);
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

std::optional<double> CMSampleBufferAdapter::outputPresentationTime() const
{
    CMTime time = CMSampleBufferGetOutputPresentationTimeStamp(m_buffer);
    // Numeric: valid, and neither infinite nor indefinite.
    if ((time.flags & kCMTimeFlags_Valid) == 0 || (time.flags & kCMTimeFlags_ImpliedValueFlagsMask) != 0)
        return std::nullopt;
    return CMTimeGetSeconds(time);
}

int CMSampleBufferAdapter::copyPcmData(AudioPcmBuffer& into, std::size_t frameCount) const
{
    auto description = streamDescription(m_buffer);
    if (!description)
        return audioParamError;
    // Non-interleaved audio has one AudioBuffer per channel: ask for the list's size first.
    size_t listSize = 0;
    OSStatus status = CMSampleBufferGetAudioBufferListWithRetainedBlockBuffer(
        m_buffer, &listSize, nullptr, 0, nullptr, nullptr, 0, nullptr);
    if (status != 0)
        return static_cast<int>(status);
    std::vector<std::max_align_t> storage((listSize + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t));
    auto* list = reinterpret_cast<AudioBufferList*>(storage.data());
    CMBlockBufferRef retained = nullptr;
    status = CMSampleBufferGetAudioBufferListWithRetainedBlockBuffer(m_buffer, nullptr, list, listSize, nullptr,
        nullptr, kCMSampleBufferFlag_AudioBufferList_Assure16ByteAlignment, &retained);
    // The block buffer comes retained (+1) and ARC does not manage CoreFoundation types.
    std::unique_ptr<std::remove_pointer_t<CMBlockBufferRef>, BlockBufferRelease> block(retained);
    if (status != 0)
        return static_cast<int>(status);
    std::vector<AudioBufferData> buffers;
    buffers.reserve(list->mNumberBuffers);
    for (UInt32 index = 0; index < list->mNumberBuffers; ++index)
        buffers.push_back({ list->mBuffers[index].mData, list->mBuffers[index].mDataByteSize });
    return copyPcm(*description, buffers, into, frameCount);
}

} // namespace norla
