#include "recording/AVMediaComposer.h"

#include "foundation/FoundationConversions.h"

#import <AVFoundation/AVFoundation.h>
#import <CoreMedia/CoreMedia.h>

#include <memory>

namespace norla {

namespace {

    CMTime toCMTime(const MediaTime& time) { return CMTimeMake(time.value, time.timescale); }

    class AVAssetTrackAdapter final : public AssetTrack {
    public:
        explicit AVAssetTrackAdapter(AVAssetTrack* track)
            : m_track(track)
        {
        }
        AVAssetTrack* track() const { return m_track; }

    private:
        AVAssetTrack* m_track;
    };

    class AVURLAssetAdapter final : public MediaAsset {
    public:
        explicit AVURLAssetAdapter(AVURLAsset* asset)
            : m_asset(asset)
        {
        }

        void loadAudioTracks(
            CompletionHandler<void(Result<std::vector<std::shared_ptr<AssetTrack>>>)> completion) override
        {
            auto pending = std::make_shared<decltype(completion)>(std::move(completion));
            [m_asset loadTracksWithMediaType:AVMediaTypeAudio
                           completionHandler:^(NSArray<AVAssetTrack*>* _Nullable tracks, NSError* _Nullable error) {
                               if (!tracks) {
                                   (*pending)(toError(error));
                                   return;
                               }
                               std::vector<std::shared_ptr<AssetTrack>> found;
                               for (AVAssetTrack* track in tracks)
                                   found.push_back(std::make_shared<AVAssetTrackAdapter>(track));
                               (*pending)(std::move(found));
                           }];
        }

        void loadDuration(CompletionHandler<void(Result<MediaTime>)> completion) override
        {
            auto pending = std::make_shared<decltype(completion)>(std::move(completion));
            AVURLAsset* asset = m_asset;
            NSString* key = @"duration";
            [asset loadValuesAsynchronouslyForKeys:[NSArray arrayWithObject:key]
                                 completionHandler:^{
                                     NSError* error = nil;
                                     if ([asset statusOfValueForKey:key error:&error] != AVKeyValueStatusLoaded) {
                                         (*pending)(toError(error));
                                         return;
                                     }
                                     CMTime duration = asset.duration;
                                     if ((duration.flags & kCMTimeFlags_Valid) == 0 || duration.timescale <= 0) {
                                         (*pending)(Error::platform("The recording has no duration."));
                                         return;
                                     }
                                     (*pending)(MediaTime { duration.value, duration.timescale });
                                 }];
        }

    private:
        AVURLAsset* m_asset;
    };

    class AVCompositionTrackAdapter final : public CompositionTrack {
    public:
        explicit AVCompositionTrackAdapter(AVMutableCompositionTrack* track)
            : m_track(track)
        {
        }

        Result<void> insertTimeRange(const MediaTimeRange& range, const AssetTrack& track, MediaTime at) override
        {
            const auto* source = dynamic_cast<const AVAssetTrackAdapter*>(&track);
            if (!source)
                return Error::platform("The track belongs to no asset.");
            NSError* error = nil;
            if ([m_track insertTimeRange:CMTimeRangeMake(toCMTime(range.start), toCMTime(range.duration))
                                 ofTrack:source->track()
                                  atTime:toCMTime(at)
                                   error:&error]
                != YES)
                return toError(error);
            return {};
        }

    private:
        AVMutableCompositionTrack* m_track;
    };

    class AVCompositionAdapter final : public MutableComposition {
    public:
        AVCompositionAdapter()
            : m_composition([AVMutableComposition composition])
        {
        }

        std::shared_ptr<CompositionTrack> addAudioTrack() override
        {
            AVMutableCompositionTrack* track =
                [m_composition addMutableTrackWithMediaType:AVMediaTypeAudio
                                           preferredTrackID:kCMPersistentTrackID_Invalid];
            if (!track)
                return nullptr;
            return std::make_shared<AVCompositionTrackAdapter>(track);
        }

        AVMutableComposition* composition() const { return m_composition; }

    private:
        AVMutableComposition* m_composition;
    };

    class AVExportSessionAdapter final : public ExportSession {
    public:
        explicit AVExportSessionAdapter(AVAssetExportSession* session)
            : m_session(session)
        {
        }

        void exportAsynchronously(const std::filesystem::path& output, ExportFileType,
            CompletionHandler<void(Result<void>)> completion) override
        {
            NSURL* url = toFileURL(output);
            // The export refuses to overwrite.
            [[NSFileManager defaultManager] removeItemAtURL:url error:nil];
            m_session.outputURL = url;
            m_session.outputFileType = AVFileTypeAppleM4A;
            auto pending = std::make_shared<decltype(completion)>(std::move(completion));
            // The handler holds the session until the export has answered.
            AVAssetExportSession* session = m_session;
            [session exportAsynchronouslyWithCompletionHandler:^{
                switch (session.status) {
                case AVAssetExportSessionStatusCompleted:
                    (*pending)(Result<void>());
                    return;
                case AVAssetExportSessionStatusCancelled:
                    (*pending)(Error::platform("The export was cancelled."));
                    return;
                default:
                    (*pending)(toError(session.error));
                    return;
                }
            }];
        }

        void cancelExport() override { [m_session cancelExport]; }
        float progress() const override { return m_session.progress; }

    private:
        AVAssetExportSession* m_session;
    };

} // namespace

std::shared_ptr<MediaAsset> AVMediaComposer::makeAsset(const std::filesystem::path& file)
{
    return std::make_shared<AVURLAssetAdapter>([AVURLAsset URLAssetWithURL:toFileURL(file) options:nil]);
}

std::shared_ptr<MutableComposition> AVMediaComposer::makeComposition()
{
    return std::make_shared<AVCompositionAdapter>();
}

std::shared_ptr<ExportSession> AVMediaComposer::makeExportSession(
    const std::shared_ptr<MutableComposition>& composition, ExportPreset)
{
    auto* adapter = dynamic_cast<AVCompositionAdapter*>(composition.get());
    if (!adapter)
        return nullptr;
    AVAssetExportSession* session = [[AVAssetExportSession alloc] initWithAsset:adapter->composition()
                                                                     presetName:AVAssetExportPresetAppleM4A];
    if (!session)
        return nullptr;
    return std::make_shared<AVExportSessionAdapter>(session);
}

} // namespace norla
