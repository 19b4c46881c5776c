#include "desktop/PushNotifications.h"

#include "FakeInfoDictionary.h"
#include "FakeKeyValueStore.h"
#include "FakeSharedApplication.h"
#include "FakeUserNotificationCenter.h"
#include "FakeWebView.h"
#include "InlineBackgroundExecutor.h"
#include "TestEnvironment.h"
#include "platform/GUriParser.h"
#include "platform/NotificationCenter.h"
#include "platform/Seams.h"
#include "web/OfficeNotifications.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace norla {
namespace {

    using Keys = PushNotifications;

    class PushNotificationsTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            Seam<UrlParser>::install(std::make_shared<GUriParser>());
            m_tokenObserver = NotificationCenter::defaultCenter().addObserver(
                std::string(officeAPNsTokenReady), [this](const Notification&) { ++tokenReadyPosts; });
            m_openObserver = NotificationCenter::defaultCenter().addObserver(
                std::string(officeOpenInternalURL), [this](const Notification& notification) {
                    if (auto* url = std::any_cast<Url>(&notification.object))
                        openedPosts.push_back(url->absoluteString);
                });
        }
        void TearDown() override
        {
            environment.main().runUntilIdle();
            NotificationCenter::defaultCenter().removeObserver(m_tokenObserver);
            NotificationCenter::defaultCenter().removeObserver(m_openObserver);
            Seam<UrlParser>::install(nullptr);
            Seam<InfoDictionary>::install(nullptr);
        }

        std::shared_ptr<test::FakeWebView> pageAt(std::string_view address)
        {
            auto view = std::make_shared<test::FakeWebView>();
            view->currentURL = parseUrl(address);
            return view;
        }
        // The page's answer to the fetch the shell is waiting for.
        void answerFetch(test::FakeWebView& view, Result<Value> answer)
        {
            environment.main().runUntilIdle();
            ASSERT_FALSE(view.asyncCalls.empty());
            auto call = std::move(view.asyncCalls.front());
            view.asyncCalls.erase(view.asyncCalls.begin());
            call.completion(std::move(answer));
        }
        static Value response(bool ok, std::int64_t status, Value json)
        {
            return Value(Value::Object { { "ok", ok }, { "status", status }, { "json", std::move(json) } });
        }
        void storeToken(std::vector<std::uint8_t> token)
        {
            push.storeDeviceToken(token);
            environment.main().runUntilIdle();
        }

        test::TestEnvironment environment;
        std::shared_ptr<test::FakeKeyValueStore> defaults = std::make_shared<test::FakeKeyValueStore>();
        std::shared_ptr<test::FakeUserNotificationCenter> center = std::make_shared<test::FakeUserNotificationCenter>();
        std::shared_ptr<test::FakeSharedApplication> application = std::make_shared<test::FakeSharedApplication>();
        PushNotifications push { { defaults, center, application,
            std::make_shared<test::InlineBackgroundExecutor>() } };
        int tokenReadyPosts = 0;
        std::vector<std::string> openedPosts;

    private:
        ObserverToken m_tokenObserver;
        ObserverToken m_openObserver;
    };

    TEST_F(PushNotificationsTest, ANewTokenIsStoredAsHexAndWithdrawsTheRegisteredOne)
    {
        storeToken({ 0x00, 0xab, 0x0f, 0xff });
        EXPECT_EQ(defaults->string(Keys::deviceTokenKey), "00ab0fff");
        EXPECT_EQ(tokenReadyPosts, 1);

        defaults->setString(Keys::registeredTokenKey, "00ab0fff");
        storeToken({ 0x00, 0xab, 0x0f, 0xff });
        EXPECT_EQ(defaults->string(Keys::registeredTokenKey), "00ab0fff") << "an ordinary relaunch";
        storeToken({ 0x01 });
        EXPECT_FALSE(defaults->string(Keys::registeredTokenKey));
        EXPECT_EQ(tokenReadyPosts, 3);
    }

    TEST_F(PushNotificationsTest, ApplicationPagesRegisterThroughThePageAndAcceptanceIsRemembered)
    {
        storeToken({ 0xde, 0xad });
        auto page = pageAt("https://office.norla.jp/chat");
        push.syncWithPage(page);
        environment.main().runUntilIdle();
        ASSERT_EQ(page->asyncCalls.size(), 1u);
        auto& call = page->asyncCalls[0];
        EXPECT_EQ(call.functionBody, PushNotifications::fetchScript);
        EXPECT_EQ(call.world, ContentWorld::page);
        EXPECT_EQ(call.arguments.at("path"), Value("/api/push/apns/register"));
        EXPECT_EQ(call.arguments.at("method"), Value("POST"));
        EXPECT_EQ(call.arguments.at("body"),
            Value(Value::Object {
                { "deviceToken", "dead" }, { "environment", "production" }, { "bundleId", "jp.norla.office" } }));
        EXPECT_TRUE(push.isRegistering());

        answerFetch(*page, response(true, 200, Value(Value::Object { { "ok", true } })));
        EXPECT_EQ(defaults->string(Keys::registeredTokenKey), "dead");
        EXPECT_FALSE(push.isRegistering());

        push.syncWithPage(page);
        environment.main().runUntilIdle();
        EXPECT_TRUE(page->asyncCalls.empty()) << "a registered token is not sent again";
    }

    TEST_F(PushNotificationsTest, RefusedOrUnreadableAnswersLeaveTheTokenUnregistered)
    {
        storeToken({ 0x01, 0x02 });
        auto page = pageAt("https://preview.office.norla.jp/tasks");
        std::vector<Result<Value>> answers {
            response(false, 401, Value(Value::Object { { "ok", true } })),
            response(true, 200, Value(Value::Object { { "ok", false } })),
            response(true, 200, Value()),
            response(true, 200, Value("ok")),
            Value("not an object"),
            Error::platform("TypeError: Load failed"),
        };
        for (auto& answer : answers) {
            push.syncWithPage(page);
            answerFetch(*page, answer);
            EXPECT_FALSE(defaults->string(Keys::registeredTokenKey));
            EXPECT_FALSE(push.isRegistering());
        }
    }

    TEST_F(PushNotificationsTest, TheSignInScreenWithdrawsTheTokenWhenTheServerAgreesOrAnswers401)
    {
        defaults->setString(Keys::deviceTokenKey, "abcd");
        defaults->setString(Keys::registeredTokenKey, "abcd");
        auto page = pageAt("https://office.norla.jp/auth/login?error=auth_failed");

        push.syncWithPage(page);
        environment.main().runUntilIdle();
        ASSERT_EQ(page->asyncCalls.size(), 1u);
        EXPECT_EQ(page->asyncCalls[0].arguments.at("method"), Value("DELETE"));
        EXPECT_EQ(page->asyncCalls[0].arguments.at("body"), Value(Value::Object { { "deviceToken", "abcd" } }));
        answerFetch(*page, response(false, 500, Value()));
        EXPECT_EQ(defaults->string(Keys::registeredTokenKey), "abcd");

        push.syncWithPage(page);
        answerFetch(*page, response(false, 401, Value()));
        EXPECT_FALSE(defaults->string(Keys::registeredTokenKey));

        push.syncWithPage(page);
        environment.main().runUntilIdle();
        EXPECT_TRUE(page->asyncCalls.empty()) << "nothing left to withdraw";
    }

    TEST_F(PushNotificationsTest, PagesOutsideTheApplicationHostsDoNothing)
    {
        storeToken({ 0x01 });
        for (auto address : { "https://accounts.google.com/o/oauth2", "https://example.com/chat", "about:blank" }) {
            auto page = pageAt(address);
            push.syncWithPage(page);
            environment.main().runUntilIdle();
            EXPECT_TRUE(page->asyncCalls.empty()) << address;
        }
        auto upperCase = pageAt("https://OFFICE.norla.jp/chat");
        push.syncWithPage(upperCase);
        environment.main().runUntilIdle();
        EXPECT_EQ(upperCase->asyncCalls.size(), 1u);
        answerFetch(*upperCase, Error::platform("gone"));
    }

    TEST_F(PushNotificationsTest, ConcurrentWindowsSendOnlyOneRegistration)
    {
        storeToken({ 0x0a });
        auto page = pageAt("https://office.norla.jp/chat");
        std::vector<std::thread> windows;
        windows.reserve(8);
        for (int i = 0; i < 8; ++i)
            windows.emplace_back([this, page] { push.registerToken(page); });
        for (auto& window : windows)
            window.join();
        environment.main().runUntilIdle();
        ASSERT_EQ(page->asyncCalls.size(), 1u);
        answerFetch(*page, response(true, 201, Value(Value::Object { { "ok", true } })));
        EXPECT_EQ(defaults->string(Keys::registeredTokenKey), "0a");
    }

    TEST_F(PushNotificationsTest, AClosedWindowCountsAsAFailedFetch)
    {
        storeToken({ 0x0a });
        auto page = pageAt("https://office.norla.jp/chat");
        push.syncWithPage(page);
        page.reset();
        environment.main().runUntilIdle();
        EXPECT_FALSE(push.isRegistering());
        EXPECT_FALSE(defaults->string(Keys::registeredTokenKey));
    }

    TEST(PageFetchResultTest, ReadsStatusAndAcceptanceAsThePageReturnsThem)
    {
        using Read = PushNotifications::PageFetchResult;
        auto read = [](std::string_view method, Value answer) {
            return PushNotifications::readPageFetchResult(method, Result<Value>(std::move(answer)));
        };
        EXPECT_EQ(
            read("POST",
                Value::Object { { "ok", true }, { "status", 201.0 }, { "json", Value::Object { { "ok", true } } } }),
            (Read { true, 201, true }));
        EXPECT_EQ(
            read("POST",
                Value::Object { { "ok", "true" }, { "status", "200" }, { "json", Value::Object { { "ok", 1 } } } }),
            (Read { false, 0, false }));
        EXPECT_EQ(read("POST", Value::Object { { "ok", true }, { "status", 200.7 } }), (Read { true, 200, false }));
        EXPECT_EQ(read("DELETE", Value::Object { { "ok", true }, { "status", 204 } }), (Read { true, 204, true }));
        EXPECT_EQ(read("DELETE", Value::Object { { "ok", false }, { "status", 1e300 } }), (Read { false, 0, false }));
    }

    TEST_F(PushNotificationsTest, NotificationTapsOpenOnlyApplicationAddresses)
    {
        push.handleNotificationPayload(Value(Value::Object { { "url", " /chat\n" } }));
        push.handleNotificationPayload(Value(Value::Object { { "url", "http://office.norla.jp/tasks" } }));
        push.handleNotificationPayload(Value(Value::Object { { "url", "https://accounts.google.com/" } }));
        push.handleNotificationPayload(Value(Value::Object { { "url", 5 } }));
        push.handleNotificationPayload(Value(Value::Object {}));
        environment.main().runUntilIdle();
        EXPECT_EQ(openedPosts, (std::vector<std::string> { "https://office.norla.jp/chat" }));
        ASSERT_TRUE(push.pendingOpenURL());
        EXPECT_EQ(push.takePendingOpenURL()->absoluteString, "https://office.norla.jp/chat");
        EXPECT_FALSE(push.takePendingOpenURL());
    }

    TEST_F(PushNotificationsTest, RemoteRegistrationFollowsTheNotificationSettings)
    {
        center->status = NotificationAuthorizationStatus::denied;
        push.authorizeAndRegister();
        environment.main().runUntilIdle();
        EXPECT_EQ(application->remoteRegistrations, 0);
        EXPECT_TRUE(center->authorizationRequests.empty());

        center->status = NotificationAuthorizationStatus::notDetermined;
        center->userAnswer = NotificationAuthorizationStatus::denied;
        push.authorizeAndRegister();
        environment.main().runUntilIdle();
        EXPECT_EQ(application->remoteRegistrations, 0);
        EXPECT_EQ(center->authorizationRequests.size(), 1u);

        center->status = NotificationAuthorizationStatus::notDetermined;
        center->userAnswer = NotificationAuthorizationStatus::authorized;
        push.authorizeAndRegister();
        EXPECT_EQ(application->remoteRegistrations, 0) << "registering happens on the main thread";
        environment.main().runUntilIdle();
        EXPECT_EQ(application->remoteRegistrations, 1);

        center->status = NotificationAuthorizationStatus::provisional;
        push.authorizeAndRegister();
        environment.main().runUntilIdle();
        EXPECT_EQ(application->remoteRegistrations, 2);
    }

} // namespace
} // namespace norla
