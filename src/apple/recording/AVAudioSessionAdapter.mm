#include "recording/AVAudioSessionAdapter.h"

#include "foundation/FoundationConversions.h"
#include "platform/NotificationCenter.h"

#import <AVFoundation/AVFoundation.h>

namespace norla {

AVAudioSessionAdapter::AVAudioSessionAdapter()
    : m_interruptionObserver([[NSNotificationCenter defaultCenter]
        addObserverForName:AVAudioSessionInterruptionNotification
                    object:nil
                     queue:nil
                usingBlock:^(NSNotification* notification) {
                    id type = notification.userInfo[AVAudioSessionInterruptionTypeKey];
                    if (![type isKindOfClass:[NSNumber class]])
                        return;
                    auto value = static_cast<std::int64_t>(((NSNumber*)type).unsignedIntegerValue);
                    NotificationCenter::defaultCenter().post(std::string(audioSessionInterruptionNotification), {},
                        Value(Value::Object { { std::string(audioSessionInterruptionTypeKey), value } }));
                }])
{
}

AVAudioSessionAdapter::~AVAudioSessionAdapter()
{
    [[NSNotificationCenter defaultCenter] removeObserver:m_interruptionObserver];
}

Result<void> AVAudioSessionAdapter::setCategory(AudioSessionCategory, AudioSessionMode, std::uint32_t options)
{
    // The core asks for one category and mode only: play and record, spoken audio.
    NSError* error = nil;
    if ([[AVAudioSession sharedInstance] setCategory:AVAudioSessionCategoryPlayAndRecord
                                                mode:AVAudioSessionModeSpokenAudio
                                             options:options
                                               error:&error]
        != YES)
        return toError(error);
    return {};
}

Result<void> AVAudioSessionAdapter::setActive(bool active, std::uint32_t options)
{
    NSError* error = nil;
    if ([[AVAudioSession sharedInstance] setActive:active ? YES : NO withOptions:options error:&error] != YES)
        return toError(error);
    return {};
}

} // namespace norla
