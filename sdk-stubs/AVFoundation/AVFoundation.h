// AVFoundation and AVFAudio as Mac Catalyst compiles them, as far as the backend uses them.
#pragma once

#import <CoreMedia/CoreMedia.h>
#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

// [SDK AVAudioTypes.h] (unconfirmed)
typedef uint32_t AVAudioFrameCount;
typedef uint32_t AVAudioPacketCount;
typedef uint32_t AVAudioChannelCount;

// [AD avfaudio/avaudioapplication/requestrecordpermission(completionhandler:)] macOS 14, Catalyst 17
@interface AVAudioApplication : NSObject
+ (void)requestRecordPermissionWithCompletionHandler:(void (^)(BOOL granted))response;
@end

// [SDK AVAudioSession.h] API_UNAVAILABLE(macos), Catalyst 13.1; setCategory: [AD avfaudio/avaudiosession/setcategory
// (_:mode:options:)]; category, mode and option names (unconfirmed)
typedef NSString* AVAudioSessionCategory;
typedef NSString* AVAudioSessionMode;
typedef NS_OPTIONS(NSUInteger, AVAudioSessionCategoryOptions) {
    AVAudioSessionCategoryOptionMixWithOthers = 0x1,
    AVAudioSessionCategoryOptionAllowBluetooth = 0x4,
    AVAudioSessionCategoryOptionDefaultToSpeaker = 0x8,
};
typedef NS_OPTIONS(NSUInteger, AVAudioSessionSetActiveOptions) {
    AVAudioSessionSetActiveOptionNotifyOthersOnDeactivation = 1,
};
AVF_EXPORT AVAudioSessionCategory const AVAudioSessionCategoryPlayAndRecord;
AVF_EXPORT AVAudioSessionMode const AVAudioSessionModeSpokenAudio;
// [AD avfaudio/avaudiosessioninterruptiontypekey] Catalyst 13.1; the notification's name (unconfirmed)
AVF_EXPORT NSNotificationName const AVAudioSessionInterruptionNotification;
AVF_EXPORT NSString* const AVAudioSessionInterruptionTypeKey;
@interface AVAudioSession : NSObject
+ (AVAudioSession*)sharedInstance;
- (BOOL)setCategory:(AVAudioSessionCategory)category
               mode:(AVAudioSessionMode)mode
            options:(AVAudioSessionCategoryOptions)options
              error:(NSError**)outError;
// (unconfirmed): the facts note has setActive:error:, the seam passes options
- (BOOL)setActive:(BOOL)active withOptions:(AVAudioSessionSetActiveOptions)options error:(NSError**)outError;
@end

// [SDK AVAudioSettings.h] keys (unconfirmed)
AVF_EXPORT NSString* const AVFormatIDKey;
AVF_EXPORT NSString* const AVSampleRateKey;
AVF_EXPORT NSString* const AVNumberOfChannelsKey;
AVF_EXPORT NSString* const AVEncoderBitRateKey;

// [AD avfaudio/avaudiorecorder/init(url:settings:)]; record/pause/stop [SDK AVAudioRecorder.h]
@interface AVAudioRecorder : NSObject
- (nullable instancetype)initWithURL:(NSURL*)url
                            settings:(NSDictionary<NSString*, id>*)settings
                               error:(NSError**)outError;
- (BOOL)record;
- (void)pause;
- (void)stop;
@end

// [SDK AVAudioFormat.h]
typedef NS_ENUM(NSUInteger, AVAudioCommonFormat) {
    AVAudioOtherFormat = 0,
    AVAudioPCMFormatFloat32 = 1,
    AVAudioPCMFormatFloat64 = 2,
    AVAudioPCMFormatInt16 = 3,
    AVAudioPCMFormatInt32 = 4
};
@interface AVAudioFormat : NSObject
- (nullable instancetype)initWithCommonFormat:(AVAudioCommonFormat)format
                                   sampleRate:(double)sampleRate
                                     channels:(AVAudioChannelCount)channels
                                  interleaved:(BOOL)interleaved;
@property (nonatomic, readonly) AVAudioChannelCount channelCount; // (unconfirmed)
@end

// [SDK AVAudioBuffer.h]
@interface AVAudioBuffer : NSObject <NSCopying>
@property (nonatomic, readonly) AVAudioFormat* format;
@end
@interface AVAudioPCMBuffer : AVAudioBuffer
- (nullable instancetype)initWithPCMFormat:(AVAudioFormat*)format
                             frameCapacity:(AVAudioFrameCount)frameCapacity NS_DESIGNATED_INITIALIZER;
@property (nonatomic) AVAudioFrameCount frameLength;
// Apple spells the qualifiers __nonnull and __nullable; glibc takes __nonnull for itself.
@property (nonatomic, readonly) float* _Nonnull const* _Nullable floatChannelData;
@end

// [SDK AVAudioFile.h] + [AD avfaudio/avaudiofile/close()]; processingFormat (unconfirmed)
@interface AVAudioFile : NSObject
- (nullable instancetype)initForWriting:(NSURL*)fileURL
                               settings:(NSDictionary<NSString*, id>*)settings
                           commonFormat:(AVAudioCommonFormat)format
                            interleaved:(BOOL)interleaved
                                  error:(NSError**)outError;
@property (nonatomic, readonly) AVAudioFormat* processingFormat;
- (BOOL)writeFromBuffer:(const AVAudioPCMBuffer*)buffer error:(NSError**)outError;
- (void)close API_AVAILABLE(macos(15.0), ios(18.0));
@end

// [SDK AVAudioConverter.h]; init is failable ([AD avfaudio/avaudioconverter/init(from:to:)])
typedef NS_ENUM(NSInteger, AVAudioConverterInputStatus) {
    AVAudioConverterInputStatus_HaveData = 0,
    AVAudioConverterInputStatus_NoDataNow = 1,
    AVAudioConverterInputStatus_EndOfStream = 2
};
typedef NS_ENUM(NSInteger, AVAudioConverterOutputStatus) {
    AVAudioConverterOutputStatus_HaveData = 0,
    AVAudioConverterOutputStatus_InputRanDry = 1,
    AVAudioConverterOutputStatus_EndOfStream = 2,
    AVAudioConverterOutputStatus_Error = 3
};
typedef AVAudioBuffer* __nullable (^AVAudioConverterInputBlock)(
    AVAudioPacketCount inNumberOfPackets, AVAudioConverterInputStatus* outStatus);
@interface AVAudioConverter : NSObject
- (nullable instancetype)initFromFormat:(AVAudioFormat*)fromFormat toFormat:(AVAudioFormat*)toFormat;
- (AVAudioConverterOutputStatus)convertToBuffer:(AVAudioBuffer*)outputBuffer
                                          error:(NSError**)outError
                             withInputFromBlock:(AVAudioConverterInputBlock)inputBlock;
- (void)reset;
@end

// [SDK AVMediaFormat.h] (unconfirmed)
typedef NSString* AVMediaType;
typedef NSString* AVFileType;
AVF_EXPORT AVMediaType const AVMediaTypeAudio;
AVF_EXPORT AVFileType const AVFileTypeAppleM4A;

// AVAsset, AVURLAsset, AVAssetTrack: loadTracksWithMediaType: [AD] macOS 12 / Catalyst 15, nullability
// (unconfirmed); URLAssetWithURL:, loadValuesAsynchronouslyForKeys:, statusOfValueForKey:, duration (unconfirmed)
typedef NS_ENUM(NSInteger, AVKeyValueStatus) {
    AVKeyValueStatusUnknown,
    AVKeyValueStatusLoading,
    AVKeyValueStatusLoaded,
    AVKeyValueStatusFailed,
    AVKeyValueStatusCancelled
};
@interface AVAssetTrack : NSObject <NSCopying>
@end
@interface AVAsset : NSObject <NSCopying>
@property (nonatomic, readonly) CMTime duration;
- (void)loadTracksWithMediaType:(AVMediaType)mediaType
              completionHandler:(void (^)(NSArray<AVAssetTrack*>* _Nullable, NSError* _Nullable))completionHandler;
- (void)loadValuesAsynchronouslyForKeys:(NSArray<NSString*>*)keys completionHandler:(nullable void (^)(void))handler;
- (AVKeyValueStatus)statusOfValueForKey:(NSString*)key error:(NSError**)outError;
@end
@interface AVURLAsset : AVAsset
+ (instancetype)URLAssetWithURL:(NSURL*)URL options:(nullable NSDictionary<NSString*, id>*)options;
@end

// [SDK AVMutableCompositionTrack.h]; AVMutableComposition (unconfirmed)
@interface AVMutableCompositionTrack : AVAssetTrack
- (BOOL)insertTimeRange:(CMTimeRange)timeRange
                ofTrack:(AVAssetTrack*)track
                 atTime:(CMTime)startTime
                  error:(NSError* _Nullable* _Nullable)outError;
@end
@interface AVComposition : AVAsset
@end
@interface AVMutableComposition : AVComposition
+ (instancetype)composition;
- (nullable AVMutableCompositionTrack*)addMutableTrackWithMediaType:(AVMediaType)mediaType
                                                   preferredTrackID:(CMPersistentTrackID)preferredTrackID;
@end

// AVAssetExportSession. Status [SDK]; the rest (unconfirmed); exportAsynchronously… [AD]
typedef NS_ENUM(NSInteger, AVAssetExportSessionStatus) {
    AVAssetExportSessionStatusUnknown = 0,
    AVAssetExportSessionStatusWaiting = 1,
    AVAssetExportSessionStatusExporting = 2,
    AVAssetExportSessionStatusCompleted = 3,
    AVAssetExportSessionStatusFailed = 4,
    AVAssetExportSessionStatusCancelled = 5
};
AVF_EXPORT NSString* const AVAssetExportPresetAppleM4A;
@interface AVAssetExportSession : NSObject
- (nullable instancetype)initWithAsset:(AVAsset*)asset presetName:(NSString*)presetName;
@property (nonatomic, copy, nullable) NSURL* outputURL;
@property (nonatomic, copy, nullable) AVFileType outputFileType;
@property (nonatomic, readonly) AVAssetExportSessionStatus status;
@property (nonatomic, readonly, nullable) NSError* error;
@property (nonatomic, readonly) float progress; // [AD avfoundation/avassetexportsession/progress]
- (void)exportAsynchronouslyWithCompletionHandler:(void (^)(void))handler;
- (void)cancelExport;
@end

NS_ASSUME_NONNULL_END
