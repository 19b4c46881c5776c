#pragma once

#include "FakeBridgeServices.h"
#include "FakeInfoDictionary.h"
#include "FakeWebView.h"
#include "TestEnvironment.h"

#include "app/AppURL.h"
#include "platform/GUriParser.h"
#include "platform/Seams.h"
#include "web/OfficeWebViewCoordinator.h"
#include "web/RecordingSchemeHandlerFactory.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace norla::test {

// The web view host on fakes, with URLs parsed by the real GUri parser and the production application URL.
class WebHostTest : public ::testing::Test {
protected:
    WebHostTest()
    {
        Seam<UrlParser>::install(std::make_shared<GUriParser>());
        Seam<InfoDictionary>::install(info);
        Seam<WebViewFactory>::install(factory);
        Seam<MeetingRecorderService>::install(recorder);
        Seam<MeetingSessionEvents>::install(session);
        Seam<BadgeNotificationService>::install(badges);
        Seam<PushNotificationsService>::install(push);
        Seam<NativeOAuthService>::install(oauth);
        Seam<UrlOpener>::install(opener);
    }
    ~WebHostTest() override
    {
        env.main().runUntilIdle();
        resetSeams<UrlParser, InfoDictionary, WebViewFactory, MeetingRecorderService, MeetingSessionEvents,
            BadgeNotificationService, PushNotificationsService, NativeOAuthService, UrlOpener,
            RecordingSchemeHandlerFactory>();
    }

    static Url url(std::string_view text)
    {
        auto parsed = parseUrl(text);
        EXPECT_TRUE(parsed) << text;
        return parsed.value_or(Url {});
    }

    // A window: its wrapper's coordinator and the web view built for it.
    struct Window {
        std::shared_ptr<OfficeWebView::Coordinator> coordinator;
        std::shared_ptr<FakeWebView> webView;
    };
    Window openWindow(const Url& appURL = resolveAppURL())
    {
        OfficeWebView wrapper(appURL);
        auto coordinator = wrapper.makeCoordinator();
        return { coordinator, std::static_pointer_cast<FakeWebView>(wrapper.makeWebView(coordinator)) };
    }

    TestEnvironment env;
    std::shared_ptr<FakeInfoDictionary> info = std::make_shared<FakeInfoDictionary>();
    std::shared_ptr<FakeWebViewFactory> factory = std::make_shared<FakeWebViewFactory>();
    std::shared_ptr<FakeMeetingRecorder> recorder = std::make_shared<FakeMeetingRecorder>();
    std::shared_ptr<FakeMeetingSession> session = std::make_shared<FakeMeetingSession>();
    std::shared_ptr<FakeBadgeNotifications> badges = std::make_shared<FakeBadgeNotifications>();
    std::shared_ptr<FakePushNotifications> push = std::make_shared<FakePushNotifications>();
    std::shared_ptr<FakeNativeOAuth> oauth = std::make_shared<FakeNativeOAuth>();
    std::shared_ptr<FakeUrlOpener> opener = std::make_shared<FakeUrlOpener>();
};

} // namespace norla::test
