#include "web/BridgeCommands.h"

#include "app/AppURL.h"
#include "auth/NativeOAuthService.h"
#include "desktop/MeetingSessionEvents.h"
#include "platform/MainExecutor.h"
#include "platform/Seams.h"
#include "platform/SystemLog.h"
#include "platform/UrlOpener.h"
#include "recording/MeetingRecorderService.h"
#include "web/BridgeDispatcher.h"
#include "web/BridgeError.h"
#include "web/NavigationPolicy.h"

namespace norla {

namespace {

    std::shared_ptr<MeetingRecorderService> recorderOrReject(BridgeCall& call)
    {
        auto recorder = Seam<MeetingRecorderService>::find();
        if (!recorder)
            call.reply.reject(unavailableError(call.command).description());
        return recorder;
    }

    // The session controller hears about the page's recordings when one is installed.
    template <class F> void tellSession(F&& event)
    {
        if (auto session = Seam<MeetingSessionEvents>::find())
            event(*session);
    }

    void answer(BridgeReply& reply, const Result<void>& result)
    {
        if (result)
            reply.resolve();
        else
            reply.reject(result.error().description());
    }

    void start(BridgeCall& call)
    {
        auto recorder = recorderOrReject(call);
        if (!recorder)
            return;
        recorder->start([reply = std::move(call.reply)](Result<void> result) mutable {
            postToMain([reply = std::move(reply), result = std::move(result)]() mutable {
                if (result)
                    tellSession([](MeetingSessionEvents& session) { session.recordingStarted(); });
                answer(reply, result);
            });
        });
    }

    void setPaused(BridgeCall& call, bool paused)
    {
        auto recorder = recorderOrReject(call);
        if (!recorder)
            return;
        auto result = paused ? recorder->pause() : recorder->resume();
        if (result)
            tellSession([paused](MeetingSessionEvents& session) { session.setPaused(paused); });
        answer(call.reply, result);
    }

    void pause(BridgeCall& call) { setPaused(call, true); }
    void resume(BridgeCall& call) { setPaused(call, false); }

    void stop(BridgeCall& call)
    {
        auto recorder = Seam<MeetingRecorderService>::find();
        if (!recorder) {
            tellSession([](MeetingSessionEvents& session) { session.recordingEnded(); });
            call.reply.reject(unavailableError(call.command).description());
            return;
        }
        recorder->stop([reply = std::move(call.reply)](Result<std::string> result) mutable {
            postToMain([reply = std::move(reply), result = std::move(result)]() mutable {
                // The session ends whether or not the recording could be finished.
                tellSession([](MeetingSessionEvents& session) { session.recordingEnded(); });
                if (result)
                    reply.resolve(std::move(result).value());
                else
                    reply.reject(result.error().description());
            });
        });
    }

    void pending(BridgeCall& call)
    {
        auto recorder = recorderOrReject(call);
        if (!recorder)
            return;
        recorder->pending([reply = std::move(call.reply)](Result<std::optional<std::string>> result) mutable {
            postToMain([reply = std::move(reply), result = std::move(result)]() mutable {
                if (result)
                    reply.resolve(std::move(result).value());
                else
                    reply.reject(result.error().description());
            });
        });
    }

    void discard(BridgeCall& call)
    {
        const auto* path = call.stringArgument("path");
        if (!path) {
            call.reply.resolve();
            return;
        }
        auto recorder = recorderOrReject(call);
        if (!recorder)
            return;
        answer(call.reply, recorder->discard(*path));
    }

    // Always answers with no result, once the system has answered (or at once when nothing is opened).
    void openExternal(BridgeCall& call)
    {
        const auto* text = call.stringArgument("url");
        auto url = text ? parseUrl(*text) : std::nullopt;
        if (!url || !isExternalScheme(lowercased(url->scheme))) {
            call.reply.resolve();
            return;
        }
        auto opener = Seam<UrlOpener>::find();
        if (!opener) {
            logLine("OfficeWebView: URL を開く仕組みがありません: " + url->absoluteString);
            call.reply.resolve();
            return;
        }
        opener->open(*url, [reply = std::move(call.reply)](bool) mutable {
            postToMain([reply = std::move(reply)]() mutable { reply.resolve(); });
        });
    }

    // Never an error message: every failure is the result "error".
    void startOAuth(BridgeCall& call)
    {
        const auto* text = call.stringArgument("url");
        const auto* callbackHost = call.stringArgument("callbackHost");
        const auto* callbackPath = call.stringArgument("callbackPath");
        auto url = text ? parseUrl(*text) : std::nullopt;
        auto webView = call.webView.lock();
        if (call.handlerName != BridgeDispatcher::recorderHandlerName || !url || !callbackHost || !callbackPath
            || !webView) {
            call.reply.resolve("error");
            return;
        }
        auto oauth = Seam<NativeOAuthService>::find();
        if (!oauth) {
            logLine("OfficeWebView: ネイティブのサインインがありません");
            call.reply.resolve("error");
            return;
        }
        oauth->run(*url, *callbackHost, *callbackPath, std::move(webView), call.appURL,
            [reply = std::move(call.reply)](std::string word) mutable {
                postToMain(
                    [reply = std::move(reply), word = std::move(word)]() mutable { reply.resolve(std::move(word)); });
            });
    }

} // namespace

const BridgeCommandTable& recorderCommandTable()
{
    static const BridgeCommandTable table {
        { "start", start },
        { "pause", pause },
        { "resume", resume },
        { "stop", stop },
        { "pending", pending },
        { "discard", discard },
        { "openExternal", openExternal },
        { "startOAuth", startOAuth },
    };
    return table;
}

} // namespace norla
