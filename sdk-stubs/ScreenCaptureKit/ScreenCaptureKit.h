// ScreenCaptureKit (macOS 12.3; Mac Catalyst 18.2), as far as the backend uses it. The delegate and output
// methods the backend implements are @required here (@optional in the SDK).
#pragma once

#import <CoreGraphics/CoreGraphics.h>
#import <CoreMedia/CoreMedia.h>
#import <Foundation/Foundation.h>
#import <dispatch/dispatch.h>

NS_ASSUME_NONNULL_BEGIN

@class SCStream, SCWindow;

// [SDK SCShareableContent.h]; SCDisplay's displayID [SDK]
@interface SCDisplay : NSObject
@property (readonly) CGDirectDisplayID displayID;
@end
@interface SCWindow : NSObject
@end
@interface SCShareableContent : NSObject
+ (void)getShareableContentWithCompletionHandler:(void (^)(SCShareableContent* _Nullable shareableContent,
                                                     NSError* _Nullable error))completionHandler;
@property (readonly) NSArray<SCDisplay*>* displays;
@end

// [SDK SCStream.h, macOS 26-era]
typedef NS_ENUM(NSInteger, SCStreamOutputType) {
    SCStreamOutputTypeScreen,
    SCStreamOutputTypeAudio,
    SCStreamOutputTypeMicrophone
};
@interface SCContentFilter : NSObject
- (instancetype)initWithDisplay:(SCDisplay*)display excludingWindows:(NSArray<SCWindow*>*)excluded;
@end
@interface SCStreamConfiguration : NSObject
@property (nonatomic, assign) size_t width;
@property (nonatomic, assign) size_t height;
@property (nonatomic, assign) CMTime minimumFrameInterval;
@property (nonatomic, assign) BOOL capturesAudio;
@property (nonatomic, assign) NSInteger sampleRate;
@property (nonatomic, assign) NSInteger channelCount;
@property (nonatomic, assign) BOOL excludesCurrentProcessAudio;
@property (nonatomic, assign) BOOL captureMicrophone;
@end

@protocol SCStreamOutput <NSObject>
@required
- (void)stream:(SCStream*)stream didOutputSampleBuffer:(CMSampleBufferRef)sampleBuffer ofType:(SCStreamOutputType)type;
@end
@protocol SCStreamDelegate <NSObject>
@required
- (void)stream:(SCStream*)stream didStopWithError:(NSError*)error;
@end

@interface SCStream : NSObject
+ (instancetype)new NS_UNAVAILABLE;
- (instancetype)init NS_UNAVAILABLE;
- (instancetype)initWithFilter:(SCContentFilter*)contentFilter
                 configuration:(SCStreamConfiguration*)streamConfig
                      delegate:(id<SCStreamDelegate> _Nullable)delegate;
- (BOOL)addStreamOutput:(id<SCStreamOutput>)output
                   type:(SCStreamOutputType)type
     sampleHandlerQueue:(dispatch_queue_t _Nullable)sampleHandlerQueue
                  error:(NSError**)error;
- (void)startCaptureWithCompletionHandler:(nullable void (^)(NSError* _Nullable error))completionHandler;
- (void)stopCaptureWithCompletionHandler:(nullable void (^)(NSError* _Nullable error))completionHandler;
@end

NS_ASSUME_NONNULL_END
