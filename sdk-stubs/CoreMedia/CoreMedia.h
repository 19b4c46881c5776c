// CoreMedia, as far as the backend uses it.
#pragma once

#import <CoreAudioTypes/CoreAudioTypes.h>
#import <CoreFoundation/CoreFoundation.h>

extern "C" {

// [SDK CMTime.h] (facts note §4: CMTimeMake… unconfirmed, stable)
typedef int64_t CMTimeValue;
typedef int32_t CMTimeScale;
typedef int64_t CMTimeEpoch;
typedef uint32_t CMTimeFlags;
enum : CMTimeFlags {
    kCMTimeFlags_Valid = 1UL << 0,
    kCMTimeFlags_HasBeenRounded = 1UL << 1,
    kCMTimeFlags_PositiveInfinity = 1UL << 2,
    kCMTimeFlags_NegativeInfinity = 1UL << 3,
    kCMTimeFlags_Indefinite = 1UL << 4,
    kCMTimeFlags_ImpliedValueFlagsMask
    = kCMTimeFlags_PositiveInfinity | kCMTimeFlags_NegativeInfinity | kCMTimeFlags_Indefinite,
};
typedef struct {
    CMTimeValue value;
    CMTimeScale timescale;
    CMTimeFlags flags;
    CMTimeEpoch epoch;
} CMTime;
CM_EXPORT CMTime CMTimeMake(int64_t value, int32_t timescale);
CM_EXPORT Float64 CMTimeGetSeconds(CMTime time);
// [SDK CMTimeRange.h] (unconfirmed)
typedef struct {
    CMTime start;
    CMTime duration;
} CMTimeRange;
CM_EXPORT CMTimeRange CMTimeRangeMake(CMTime start, CMTime duration);

// [SDK CMBase.h, CMFormatDescription.h, CMBlockBuffer.h, CMSampleBuffer.h]
typedef long CMItemCount;
typedef int32_t CMPersistentTrackID;
enum : CMPersistentTrackID { kCMPersistentTrackID_Invalid = 0 }; // (unconfirmed)
typedef struct opaqueCMFormatDescription* CMFormatDescriptionRef;
typedef CMFormatDescriptionRef CMAudioFormatDescriptionRef;
typedef struct OpaqueCMBlockBuffer* CMBlockBufferRef;
typedef struct opaqueCMSampleBuffer* CMSampleBufferRef;
enum : uint32_t { kCMSampleBufferFlag_AudioBufferList_Assure16ByteAlignment = (1L << 0) }; // (unconfirmed value)

// [SDK CMSampleBuffer.h]
CM_EXPORT OSStatus CMSampleBufferGetAudioBufferListWithRetainedBlockBuffer(CMSampleBufferRef CM_NONNULL sbuf,
    size_t* CM_NULLABLE bufferListSizeNeededOut, AudioBufferList* CM_NULLABLE bufferListOut, size_t bufferListSize,
    CFAllocatorRef CM_NULLABLE blockBufferStructureAllocator, CFAllocatorRef CM_NULLABLE blockBufferBlockAllocator,
    uint32_t flags, CM_RETURNS_RETAINED_PARAMETER CMBlockBufferRef CM_NULLABLE* CM_NULLABLE blockBufferOut);
CM_EXPORT Boolean CMSampleBufferDataIsReady(CMSampleBufferRef CM_NONNULL sbuf);
// (unconfirmed, stable)
CM_EXPORT Boolean CMSampleBufferIsValid(CMSampleBufferRef CM_NONNULL sbuf);
CM_EXPORT CMItemCount CMSampleBufferGetNumSamples(CMSampleBufferRef CM_NONNULL sbuf);
CM_EXPORT CMTime CMSampleBufferGetOutputPresentationTimeStamp(CMSampleBufferRef CM_NONNULL sbuf);
CM_EXPORT CMFormatDescriptionRef CM_NULLABLE CMSampleBufferGetFormatDescription(CMSampleBufferRef CM_NONNULL sbuf);
CM_EXPORT const AudioStreamBasicDescription* CM_NULLABLE CMAudioFormatDescriptionGetStreamBasicDescription(
    CMAudioFormatDescriptionRef CM_NONNULL desc);
}
