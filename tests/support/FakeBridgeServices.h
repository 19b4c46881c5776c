#pragma once

#include "auth/NativeOAuthService.h"
#include "desktop/BadgeNotificationService.h"
#include "desktop/MeetingSessionEvents.h"
#include "desktop/PushNotificationsService.h"
#include "platform/Seams.h"
#include "platform/UrlOpener.h"
#include "recording/MeetingRecorderService.h"
#include "web/WebView.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Fakes of what the bridge and the web view host reach: each records its calls; asynchronous ones keep
// their completions until the test completes them (or answer at once when told to).
namespace norla::test {

// Empties the seams a test installed or had installed.
template <class... Seams> void resetSeams() { (Seam<Seams>::install(nullptr), ...); }

// The recorder as the page's bridge and the meeting session see it: starts, stops and pending answers wait
// for the test; completeStart/completeStop answer the oldest and keep `recording` as a real recorder would.
class FakeMeetingRecorder final : public MeetingRecorderService {
public:
    void start(CompletionHandler<void(Result<void>)> completion) override
    {
        startCompletions.push_back(std::move(completion));
    }
    Result<void> pause() override
    {
        calls.emplace_back("pause");
        return pauseResult;
    }
    Result<void> resume() override
    {
        calls.emplace_back("resume");
        return resumeResult;
    }
    void stop(CompletionHandler<void(Result<std::string>)> completion) override
    {
        stopCompletions.push_back(std::move(completion));
    }
    void pending(CompletionHandler<void(Result<std::optional<std::string>>)> completion) override
    {
        pendingCompletions.push_back(std::move(completion));
    }
    Result<void> discard(const std::string& path) override
    {
        calls.push_back("discard " + path);
        return discardResult;
    }
    bool isRecording() override { return recording; }

    void completeStart(Result<void> result = {})
    {
        recording = recording || result.ok();
        takeFront(startCompletions)(std::move(result));
    }
    void completeStop(Result<std::string> result = std::string("/tmp/meeting.m4a"))
    {
        recording = false;
        takeFront(stopCompletions)(std::move(result));
    }

    bool recording = false;
    std::vector<std::string> calls; // pause, resume and discard
    Result<void> pauseResult;
    Result<void> resumeResult;
    Result<void> discardResult;
    std::vector<CompletionHandler<void(Result<void>)>> startCompletions;
    std::vector<CompletionHandler<void(Result<std::string>)>> stopCompletions;
    std::vector<CompletionHandler<void(Result<std::optional<std::string>>)>> pendingCompletions;

private:
    template <class Completion> static Completion takeFront(std::vector<Completion>& completions)
    {
        auto completion = std::move(completions.front());
        completions.erase(completions.begin());
        return completion;
    }
};

class FakeMeetingSession final : public MeetingSessionEvents {
public:
    void recordingStarted() override { events.emplace_back("started"); }
    void setPaused(bool paused) override { events.emplace_back(paused ? "paused" : "resumed"); }
    void recordingEnded() override { events.emplace_back("ended"); }

    std::vector<std::string> events;
};

class FakeBadgeNotifications final : public BadgeNotificationService {
public:
    struct PageNotification {
        std::string title;
        std::optional<std::string> body;
        std::optional<std::string> tag;
        bool sound;
        bool operator==(const PageNotification&) const = default;
    };

    void applyBadges(const Value::Object& counts) override { appliedCounts.push_back(counts); }
    void postPageNotification(
        std::string title, std::optional<std::string> body, std::optional<std::string> tag, bool sound) override
    {
        notifications.push_back({ std::move(title), std::move(body), std::move(tag), sound });
    }
    void notificationPermission(bool request, CompletionHandler<void(std::string)> completion) override
    {
        permissionRequests.push_back(request);
        completion(permissionWord);
    }

    std::vector<Value::Object> appliedCounts;
    std::vector<PageNotification> notifications;
    std::vector<bool> permissionRequests;
    std::string permissionWord = "default";
};

class FakePushNotifications final : public PushNotificationsService {
public:
    std::optional<Url> takePendingOpenURL() override { return std::exchange(pendingOpenURL, std::nullopt); }
    void clearPendingOpenURL() override { pendingOpenURL.reset(); }
    void syncWithPage(std::shared_ptr<WebView> webView) override { syncedWebViews.push_back(webView); }

    std::optional<Url> pendingOpenURL;
    std::vector<std::weak_ptr<WebView>> syncedWebViews;
};

class FakeNativeOAuth final : public NativeOAuthService {
public:
    void run(const Url& url, const std::string& callbackHost, const std::string& callbackPath,
        std::shared_ptr<WebView> webView, const Url& appURL, CompletionHandler<void(std::string)> completion) override
    {
        runs.push_back(url.absoluteString + ", " + callbackHost + ", " + callbackPath + ", " + appURL.absoluteString);
        webViews.push_back(webView);
        completions.push_back(std::move(completion));
    }

    std::vector<std::string> runs; // "url, callback host, callback path, application URL"
    std::vector<std::weak_ptr<WebView>> webViews;
    std::vector<CompletionHandler<void(std::string)>> completions;
};

class FakeUrlOpener final : public UrlOpener {
public:
    void open(const Url& url, CompletionHandler<void(bool)> completion) override
    {
        opened.push_back(url.absoluteString);
        completions.push_back(std::move(completion));
    }
    // Answers every open still waiting.
    void completeAll(bool didOpen = true)
    {
        auto waiting = std::move(completions);
        completions.clear();
        for (auto& completion : waiting)
            completion(didOpen);
    }

    std::vector<std::string> opened;
    std::vector<CompletionHandler<void(bool)>> completions;
};

} // namespace norla::test
